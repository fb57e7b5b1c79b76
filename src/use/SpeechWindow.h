#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace tv {

class Speech;

// Owns the program's one voice: every spoken output goes through litLeTexte.
class SpeechWindow : public QObject {
    Q_OBJECT
public:
    explicit SpeechWindow(Speech &speech, QObject *parent = nullptr);

    // Greets the person, and from then on watches whether anything can be heard.
    void load();
    // Says the text, cutting off whatever is being said. An empty text does nothing.
    void litLeTexte(const QString &texte);
    // One look at whether speech can be heard (the watch does it every second).
    void check();

    // A fault that must last this long before the carer is told of it: the sound system
    // often comes up a moment after the program at a desktop's login.
    static constexpr int kToldAfterMs = 3000;

signals:
    // What the carer must be told about speech; empty once speech works again.
    void noticeChanged(const QString &text);

private:
    Speech &speech_;
    QTimer watch_;
    QElapsedTimer faultSince_;
    QString told_;
};

} // namespace tv
