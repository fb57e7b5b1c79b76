#include "PictureActivation.h"

#include "MediaPlayback.h"
#include "SpeechWindow.h"
#include "journal/UsageLog.h"
#include "model/Action.h"
#include "model/AppState.h"
#include "page/GeometryCapture.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PictureControl.h"
#include "page/SentenceBar.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StoredPath.h"

#include <QFileInfo>
#include <QPlainTextEdit>

namespace tv {

PictureActivation::PictureActivation(AppState &state, MainWindow &window, Services &services,
                                     SpeechWindow &speech, PageLoader &pages, MediaPlayback &media,
                                     std::function<void()> quit, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), speech_(speech),
      pages_(pages), media_(media), quit_(std::move(quit)) {
    connect(&window_, &MainWindow::picturePressed, this, &PictureActivation::press);
    // The message is said as a phrase is: through the same voice, any media stopped first.
    connect(window_.sentenceBar(), &SentenceBar::sayRequested, this, [this](const QString &text) {
        media_.stopMedia();
        speech_.litLeTexte(text);
        if (!text.isEmpty())
            note(UsageEvent::Kind::Message, text);
    });
}

QString PictureActivation::creditsText() {
    return QStringLiteral(
        "Tablavox 2\r\n"
        "Fait pour celles et ceux qui parlent avec des images,\r\n"
        "et pour les proches qui leur préparent les pages.\r\n"
        "Logiciel libre (GNU GPL 3 ou ultérieure) — les développeurs de Tablavox ; symboles "
        "OpenMoji (CC BY-SA 4.0), noms Unicode CLDR par emojibase-data (MIT)\r\n"
        "Décembre 2026");
}

void PictureActivation::press(int index, Qt::MouseButton button, QPoint twipsInside) {
    // How this press was made, told by the way in that made it; the next press tells anew.
    const AppState::Choosing how = std::exchange(state_.choosing, {});
    // A page held while a board set comes in takes no press, from a switch, a rest of the
    // pointer or a screen reader either.
    if (!window_.surface()->isEnabled())
        return;
    state_.currentImage = index;
    if (button == Qt::RightButton) {
        // A locked page is the person's: a stray right press edits nothing.
        if (editor_ && !state_.settings.locked)
            editor_->openPictureMenu();
    } else if (button == Qt::LeftButton) {
        if (editor_ && editor_->moveArmed()) {
            editor_->startMove(index, twipsInside);
        } else {
            const PictureControl *control = window_.img(index);
            const QString action = control ? control->tag() : QString();
            if (actionKind(action) != ActionKind::None)
                noteChoice(actionKind(action) == ActionKind::Phrase ? spokenPhrase(action) : action,
                           how);
            switch (actionKind(action)) {
            case ActionKind::Keyword:
                media_.stopMedia();
                if (keywordOf(action) == Keyword::Quit)
                    quit_();
                else
                    services_.dialogs.message(creditsText(), MessageIcon::Information,
                                              MessageButtons::Ok);
                return;
            case ActionKind::Phrase: {
                media_.stopMedia();
                if (state_.settings.sentenceBar && !action.trimmed().isEmpty()) {
                    window_.sentenceBar()->add(action, control->picture(), control->sourcePath());
                    if (!state_.settings.sayEachPhrase)
                        break;
                }
                window_.champTexte()->setPlainText(spokenPhrase(action));
                speech_.litLeTexte(
                    window_.champTexte()->toPlainText().replace(u'\n', QStringLiteral("\r\n")));
                break;
            }
            case ActionKind::Media:
                media_.start(action, actionExtension(action));
                return;
            case ActionKind::PageLink:
                openPageLink(action);
                return;
            case ActionKind::None:
                break;
            }
        }
    }
    affecteValeursTouche();
}

void PictureActivation::openPageLink(const QString &action) {
    // A link that leads nowhere changes nothing: the page shown stays, under its own name,
    // so that saving it later writes its own file.
    const auto path = resolveStoredPath(state_.paths.pagesDirectory(), action);
    if (!path || !QFileInfo(*path).isFile()) {
        services_.dialogs.message(QStringLiteral("La page ''") + shortenedForMessage(action) +
                                      QStringLiteral("'' demandée n'existe pas"),
                                  MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    if (const QString refusal = PageLoader::refusalOf(*path, action); !refusal.isEmpty()) {
        services_.dialogs.message(refusal, MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    if (!pages_.mayLeavePage())
        return;
    media_.stopMedia();
    state_.page.currentPage = action;
    pages_.loadPage();
    note(UsageEvent::Kind::Page, state_.page.currentPage);
}

void PictureActivation::notePicked(const QString &said) {
    noteChoice(spokenPhrase(said), std::exchange(state_.choosing, {}));
}

void PictureActivation::noteMessage(const QString &text) {
    note(UsageEvent::Kind::Message, text);
}

void PictureActivation::noteChoice(const QString &said, const AppState::Choosing &how) {
    if (!log_ || !log_->isEnabled())
        return;
    UsageEvent e;
    e.when = log_->now();
    e.text = QString(said).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).simplified();
    e.page = state_.page.currentPage;
    e.access = how.access.isEmpty() ? kAccessMouse : how.access;
    e.delayMs = how.delayMs;
    log_->append(e);
}

void PictureActivation::note(UsageEvent::Kind kind, const QString &text) {
    if (!log_ || !log_->isEnabled())
        return;
    UsageEvent e;
    e.when = log_->now();
    e.kind = kind;
    e.text = text;
    log_->append(e);
}

void PictureActivation::affecteValeursTouche() {
    tv::affecteValeursTouche(state_, window_);
}

} // namespace tv
