#pragma once

#include <QObject>

namespace tv {

class Dialogs;
class Speech;

// Owns the program's one voice: every spoken output goes through litLeTexte.
class SpeechWindow : public QObject {
    Q_OBJECT
public:
    SpeechWindow(Speech &speech, Dialogs &dialogs, QObject *parent = nullptr);

    // Greets the person; tells the carer once when nothing can be heard.
    void load();
    // Says the text, cutting off whatever is being said. An empty text does nothing.
    void litLeTexte(const QString &texte);

private:
    Speech &speech_;
    Dialogs &dialogs_;
};

} // namespace tv
