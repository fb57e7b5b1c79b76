#pragma once

#include "Dialogs.h"

namespace tv {

class QtDialogs final : public Dialogs {
public:
    MessageAnswer message(const QString &text, MessageIcon icon, MessageButtons buttons,
                          const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &preset) override;
    std::optional<QString> openFile(const OpenFileRequest &request) override;
    std::optional<qint32> chooseColor() override;

private:
    QString lastDirectory_;
};

} // namespace tv
