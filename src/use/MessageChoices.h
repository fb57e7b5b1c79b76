#pragma once

#include "page/BoardPictures.h"
#include "platform/OffThread.h"
#include "prediction/LearnedBase.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <functional>
#include <memory>

namespace tv {

struct AppState;
class MainWindow;
class SentenceBar;
class SpeechWindow;

// What the strip offers besides the pictures of the page: the pictures likely to come next,
// and "Déjà dit", the messages said before, each said again by one choice. Both come from
// the messages the person said (each "Dire" is learned, while either is on) and from the
// pages in use. The learned base and the boards are read away from the window.
class MessageChoices : public QObject {
    Q_OBJECT
public:
    MessageChoices(AppState &state, MainWindow &window, SpeechWindow &speech,
                   QObject *parent = nullptr);
    ~MessageChoices() override;

    // Reads the learned base and the boards in use.
    void start();
    // The row shows what the settings now ask for.
    void settingsChanged();
    // "Oublier ce qui a été appris": why it could not, or empty.
    QString forget();

    bool isLoaded() const { return base_ != nullptr; }
    bool showsAlreadySaid() const { return panel_; }
    const LearnedBase *base() const { return base_.get(); }
    // The phrases the row suggests now, as written on their pictures.
    QStringList suggested() const { return shownPhrases_; }

    // For the usage log: a picture chosen in the row, a message said again.
    std::function<void(const QString &phrase)> noteChoice;
    std::function<void(const QString &message)> noteMessage;
    // Before anything is said or added (the media playing stops).
    std::function<void()> beforeSpeaking;
    // What the clock says now; replaced in tests.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

signals:
    // The learned base and the boards are read (the first suggestions are shown).
    void loaded();
    // What is said can no longer be kept: why, for the carer. Once until it works again.
    void keepingStopped(const QString &why);

private:
    struct Read {
        std::shared_ptr<LearnedBase> base;
        Boards boards;
    };
    bool learning() const;
    void readBoards();
    void useBoards(const Boards &boards);
    void refresh();
    void choose(int n);
    void openMenu(int n, QPoint global);
    void keep(const LearnedRecord &record);
    void said(const QString &text);
    QStringList filesOf(const QStringList &phrases) const;

    AppState &state_;
    MainWindow &window_;
    SentenceBar &bar_;
    SpeechWindow &speech_;
    std::shared_ptr<LearnedBase> base_;
    QList<LearnedRecord> waiting_;      // said before the base was read
    QHash<QString, QString> pictureOf_; // phrase key to its image
    bool panel_ = false;
    bool stopped_ = false;
    QStringList shownPhrases_;
    QList<SaidMessage> shownMessages_;
    std::unique_ptr<OffThread> reads_ = std::make_unique<OffThread>();
};

} // namespace tv
