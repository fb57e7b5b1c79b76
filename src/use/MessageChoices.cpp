#include "MessageChoices.h"

#include "SpeechWindow.h"
#include "language/Sentence.h"
#include "model/Action.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/SentenceBar.h"
#include "prediction/BoardPriors.h"

#include <QMenu>
#include <QPushButton>

namespace tv {

namespace {

const QString kStartPage = QStringLiteral("page_départ.dat");

} // namespace

MessageChoices::MessageChoices(AppState &state, MainWindow &window, SpeechWindow &speech,
                               QObject *parent)
    : QObject(parent), state_(state), window_(window), bar_(*window.sentenceBar()),
      speech_(speech) {
    connect(&bar_, &SentenceBar::messageChanged, this, [this] {
        // A picture added or taken away: the person is making a message, not choosing one.
        panel_ = false;
        refresh();
    });
    connect(&bar_, &SentenceBar::sayRequested, this, &MessageChoices::said);
    connect(&bar_, &SentenceBar::alreadySaidRequested, this, [this] {
        panel_ = !panel_;
        refresh();
    });
    connect(bar_.choices(), &ChoiceRow::chosen, this, &MessageChoices::choose);
    connect(bar_.choices(), &ChoiceRow::menuRequested, this, &MessageChoices::openMenu);
    // Another page shown, maybe one the carer just made or changed: the boards in use are
    // read again.
    connect(&window_, &MainWindow::pageShown, this, &MessageChoices::readBoards);
}

MessageChoices::~MessageChoices() = default;

bool MessageChoices::learning() const {
    const Settings &s = state_.settings;
    return s.sentenceBar && ((s.prediction && s.predictionCount > 0) || s.alreadySaid);
}

void MessageChoices::start() {
    const QString file = LearnedBase::fileIn(state_.paths.dataDirectory);
    const ProgramPaths paths = state_.paths;
    const TwipsPerPixel tpp = state_.tpp;
    reads_->run(
        [file, paths, tpp](const OffThread::Token &) {
            Read r;
            r.base = std::make_shared<LearnedBase>(file);
            r.base->load();
            r.boards = tv::readBoards(paths.pagesDirectory(), paths.multimediaDirectory(),
                                      kStartPage, tpp);
            return r;
        },
        [this](const Read &r) {
            base_ = r.base;
            useBoards(r.boards);
            for (const LearnedRecord &record : std::exchange(waiting_, {}))
                keep(record);
            refresh();
            emit loaded();
        });
}

void MessageChoices::readBoards() {
    // Pages change only in the carer's hands: a locked page is the person's, and nothing of
    // the boards changes while it stays locked. One reading at a time.
    if (!base_ || state_.settings.locked || reads_->running() > 0)
        return;
    const ProgramPaths paths = state_.paths;
    const TwipsPerPixel tpp = state_.tpp;
    reads_->run(
        [paths, tpp](const OffThread::Token &) {
            return tv::readBoards(paths.pagesDirectory(), paths.multimediaDirectory(), kStartPage,
                                  tpp);
        },
        [this](const Boards &boards) {
            useBoards(boards);
            refresh();
        });
}

void MessageChoices::useBoards(const Boards &boards) {
    QHash<QString, int> pages;
    pictureOf_.clear();
    for (const BoardPicture &p : boards.pictures) {
        ++pages[p.phrase];
        const QString key = Predictor::keyOf(p.phrase);
        if (!pictureOf_.value(key).isEmpty())
            continue;
        pictureOf_.insert(key, p.pictureFile);
    }
    if (base_)
        base_->predictor().setPriors(boardPriors(pages));
}

void MessageChoices::settingsChanged() {
    if (!state_.settings.alreadySaid)
        panel_ = false;
    refresh();
}

void MessageChoices::refresh() {
    const Settings &s = state_.settings;
    shownPhrases_.clear();
    shownMessages_.clear();
    QList<ChoiceRow::Choice> choices;
    if (!base_ || !s.sentenceBar) {
        bar_.setChoices(choices);
        return;
    }
    if (panel_ && s.alreadySaid) {
        // A message begun is finished by one of those said before that begin the same way.
        shownMessages_ = base_->history().ranked(now(), MessageHistory::kShown, bar_.phrases());
        for (const SaidMessage &m : shownMessages_)
            choices.append({m.text, m.text, QStringLiteral("Déjà dit"), {}, m.pinned});
    } else if (s.prediction && s.predictionCount > 0) {
        const QStringList message = bar_.phrases();
        shownPhrases_ = base_->predictor().suggest(message, s.predictionCount);
        const Gender speaker =
            s.personGender == kGenderFeminine ? Gender::Feminine : Gender::Masculine;
        for (const QString &phrase : shownPhrases_) {
            // A verb after a subject shows as it will be said: "veux", not "vouloir".
            const QString form = formedPhrases(message + QStringList{phrase}, speaker).last();
            const QString caption = form.isEmpty() ? phrase : form;
            choices.append({caption, caption, QStringLiteral("Suggestion"),
                            pictureOf_.value(Predictor::keyOf(phrase)), false});
        }
    }
    bar_.setChoices(choices);
}

QStringList MessageChoices::filesOf(const QStringList &phrases) const {
    QStringList files;
    for (const QString &phrase : phrases)
        files << pictureOf_.value(Predictor::keyOf(phrase));
    return files;
}

void MessageChoices::choose(int n) {
    if (beforeSpeaking)
        beforeSpeaking();
    if (n >= 0 && n < shownMessages_.size()) {
        const SaidMessage m = shownMessages_[n];
        // Said again at once, and there in the strip to add to or say once more.
        bar_.setMessage(m.phrases, filesOf(m.phrases));
        said(bar_.message());
        if (noteMessage)
            noteMessage(bar_.message());
        speech_.litLeTexte(bar_.message());
        return;
    }
    if (n < 0 || n >= shownPhrases_.size())
        return;
    const QString phrase = shownPhrases_[n];
    if (noteChoice)
        noteChoice(phrase);
    bar_.add(phrase, {}, pictureOf_.value(Predictor::keyOf(phrase)));
    if (state_.settings.sayEachPhrase)
        speech_.litLeTexte(spokenPhrase(phrase).replace(u'\n', QStringLiteral("\r\n")));
}

void MessageChoices::said(const QString &text) {
    if (!learning() || text.isEmpty() || bar_.phrases().isEmpty())
        return;
    keep({LearnedRecord::Kind::Said, now(), bar_.phrases(), text});
}

void MessageChoices::keep(const LearnedRecord &record) {
    if (!base_) {
        waiting_ << record;
        return;
    }
    if (base_->add(record)) {
        stopped_ = false;
        return;
    }
    if (!stopped_)
        emit keepingStopped(
            QStringLiteral("Ce qui est dit n'est plus appris : « %1 » ne peut pas être écrit.")
                .arg(base_->path()));
    stopped_ = true;
}

void MessageChoices::openMenu(int n, QPoint global) {
    // The carer's: a locked page is the person's, and a stray right press changes nothing.
    if (state_.settings.locked || n < 0 || n >= shownMessages_.size())
        return;
    const SaidMessage m = shownMessages_[n];
    auto *menu = new QMenu(&window_);
    menu->setObjectName(QStringLiteral("mnuDéjàDit"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *pin =
        menu->addAction(m.pinned ? QStringLiteral("Ne plus épingler") : QStringLiteral("Épingler"));
    pin->setObjectName(QStringLiteral("mnuÉpingler"));
    QAction *remove = menu->addAction(QStringLiteral("Supprimer"));
    remove->setObjectName(QStringLiteral("mnuSupprimer"));
    connect(pin, &QAction::triggered, this, [this, m] {
        keep({m.pinned ? LearnedRecord::Kind::Unpinned : LearnedRecord::Kind::Pinned,
              now(),
              m.phrases,
              {}});
        refresh();
    });
    connect(remove, &QAction::triggered, this, [this, m] {
        keep({LearnedRecord::Kind::Removed, now(), m.phrases, {}});
        refresh();
    });
    menu->popup(global);
}

QString MessageChoices::forget() {
    waiting_.clear();
    stopped_ = false;
    if (base_) {
        const QString why = base_->forget();
        refresh();
        return why;
    }
    // Still being read: what is read is dropped, and read again from nothing.
    reads_->renew();
    const QString why = LearnedBase(LearnedBase::fileIn(state_.paths.dataDirectory)).forget();
    start();
    return why;
}

} // namespace tv
