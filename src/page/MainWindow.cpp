#include "MainWindow.h"

#include "PictureControl.h"
#include "SelectionFrame.h"
#include "SentenceBar.h"
#include "model/AppState.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace tv {

MainWindow::MainWindow(AppState &state, QWidget *parent) : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("frmTablavox"));
    setWindowTitle(kProgramTitle);
    // The message strip, when it is on, sits above the page; the pictures keep their places
    // relative to the page surface below it.
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    sentenceBar_ = new SentenceBar(central);
    sentenceBar_->hide();
    column->addWidget(sentenceBar_);
    surface_ = new QWidget(central);
    surface_->setObjectName(QStringLiteral("surface"));
    surface_->setAutoFillBackground(true);
    surface_->setMouseTracking(true);
    surface_->installEventFilter(this);
    column->addWidget(surface_, 1);
    // Keys are seen whichever control has the focus.
    qApp->installEventFilter(this);
    setCentralWidget(central);

    // The template only holds where and how large a new picture starts. A window of its own
    // that is never shown: assistive technologies list a page's hidden controls too, and a
    // screen reader or a switch-control tool would stop on it.
    auto *templ = new PictureControl(0, state.tpp.x, state.tpp.y, this);
    templ->setWindowFlag(Qt::Window);
    templ->setTwipsGeometry(-2000, 480, 1215, 1215);
    templ->hide();
    img_[0] = templ;

    cadreSelection_ = new SelectionFrame(state.tpp.x, state.tpp.y, surface_);

    tmClignote_ = new QTimer(this);
    tmClignote_->setObjectName(QStringLiteral("tmClignote"));
    tmClignote_->setInterval(150);
    tmDefilement_ = new QTimer(this);
    tmDefilement_->setObjectName(QStringLiteral("tmDéfilement"));
    tmDefilement_->setInterval(1500);
    // A switch user times each press to the step: the step must come when it is due.
    tmDefilement_->setTimerType(Qt::PreciseTimer);

    champTexte_ = new QPlainTextEdit(this);
    champTexte_->setObjectName(QStringLiteral("ChampTexte"));
    champTexte_->hide();

    notice_ = new QLabel(surface_);
    notice_->setObjectName(QStringLiteral("lblAvis"));
    notice_->setWordWrap(true);
    notice_->setMargin(6);
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice_->setStyleSheet(QStringLiteral("background: #fff3b0; color: black; "
                                          "border-top: 2px solid #b08000;"));
    notice_->hide();

    buildMenus();
    setBackgroundColorValue(backgroundColor_);
}

MainWindow::~MainWindow() = default;

QAction *MainWindow::addEntry(QMenu *menu, const QString &caption, const QString &name) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void MainWindow::buildMenus() {
    QMenu *programme = menuBar()->addMenu(QStringLiteral("&Programme"));
    programme->setObjectName(QStringLiteral("mnuProgramme"));
    addEntry(programme, QStringLiteral("&Propriétés"), QStringLiteral("mnuPropProgramme"));
    addEntry(programme, QStringLiteral("&Verrouiller la page"), QStringLiteral("mnuVerrouiller"));
    addEntry(programme, QStringLiteral("P&lein écran"), QStringLiteral("mnuPleinEcran"))
        ->setCheckable(true);
    addEntry(programme, QStringLiteral("&Rapport…"), QStringLiteral("mnuRapport"));
    QAction *quit = addEntry(programme, QStringLiteral("&Quitter"), QStringLiteral("menuQuitter"));
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);

    QMenu *pages = menuBar()->addMenu(QStringLiteral("&Pages"));
    pages->setObjectName(QStringLiteral("mnuPages"));
    addEntry(pages, QStringLiteral("Couleur de la page"), QStringLiteral("mnuCouleurPage"));
    addEntry(pages, QStringLiteral("&Nouvelle"), QStringLiteral("mnuNouvellePage"));
    addEntry(pages, QStringLiteral("&Charger"), QStringLiteral("mnuChargePage"));
    addEntry(pages, QStringLiteral("&Sauve"), QStringLiteral("mnuSauvePage"));
    addEntry(pages, QStringLiteral("&Imprimer…"), QStringLiteral("mnuImprimer"));
    addEntry(pages, QStringLiteral("Exporter en &PDF…"), QStringLiteral("mnuExporterPdf"));
    addEntry(pages, QStringLiteral("Importer…"), QStringLiteral("mnuImporter"));
    addEntry(pages, QStringLiteral("Exporter…"), QStringLiteral("mnuExporter"));

    QMenu *images = menuBar()->addMenu(QStringLiteral("&Images"));
    images->setObjectName(QStringLiteral("mnuImages"));
    addEntry(images, QStringLiteral("&Nouvelle image"), QStringLiteral("mnuNouvelleImage"));

    // Seen by the person and the family whenever what is chosen is noted, the page locked
    // or not.
    usageMark_ = new QLabel(QStringLiteral("● Utilisation notée  "), menuBar());
    usageMark_->setObjectName(QStringLiteral("lblJournal"));
    usageMark_->setToolTip(QStringLiteral("Ce qui est choisi est noté pour le suivi "
                                          "(Programme → Propriétés → Suivi)."));
    menuBar()->setCornerWidget(usageMark_, Qt::TopRightCorner);
    usageMark_->hide();

    // The whole menu bar while the page is locked.
    QAction *unlock = menuBar()->addAction(QStringLiteral("Déverrouiller…"));
    unlock->setObjectName(QStringLiteral("mnuDéverrouiller"));
    unlock->setVisible(false);

    // Never in the menu bar: it opens on a right press on a picture.
    mnuDroit_ = new QMenu(QStringLiteral("MenuDroit"), this);
    mnuDroit_->setObjectName(QStringLiteral("mnuDroit"));
    addEntry(mnuDroit_, QStringLiteral("&Propriétés"), QStringLiteral("mnuPropriétés"));
    addEntry(mnuDroit_, QStringLiteral("&Déplacer"), QStringLiteral("mnuDéplacer"));
    QMenu *create = mnuDroit_->addMenu(QStringLiteral("&Créer"));
    create->setObjectName(QStringLiteral("mnuCréer"));
    addEntry(create, QStringLiteral("Créer à &Droite"), QStringLiteral("mnuCréeADroite"));
    addEntry(create, QStringLiteral("Créer Dessous"), QStringLiteral("mnuCréeDessous"));
    QMenu *dims = mnuDroit_->addMenu(QStringLiteral("&Dimensions"));
    dims->setObjectName(QStringLiteral("mnuDimensions"));
    addEntry(dims, QStringLiteral("Plus &Grand"), QStringLiteral("mnuPlusGrand"));
    addEntry(dims, QStringLiteral("Plus &petit"), QStringLiteral("mnuPlusPetit"));
    addEntry(dims, QStringLiteral("&Etirer"), QStringLiteral("mnuEtirer"));
    addEntry(mnuDroit_, QStringLiteral("&Supprimer"), QStringLiteral("mnuSupprimeImage"));
}

PictureControl *MainWindow::createPicture(int index) {
    removePicture(index);
    const PictureControl *templ = img_[0];
    auto *control = new PictureControl(index, state_.tpp.x, state_.tpp.y, surface_);
    control->setTwipsGeometry(templ->leftTwips(), templ->topTwips(), templ->widthTwips(),
                              templ->heightTwips());
    control->hide();
    connect(control, &PictureControl::pressed, this, &MainWindow::picturePressed);
    connect(control, &PictureControl::hovered, this, &MainWindow::pictureHovered);
    // The frame is drawn over the pictures, and a notice for the carer over both.
    cadreSelection_->raise();
    notice_->raise();
    img_[std::size_t(index)] = control;
    return control;
}

void MainWindow::removePicture(int index) {
    if (PictureControl *control = img_[std::size_t(index)]) {
        img_[std::size_t(index)] = nullptr;
        control->hide();
        // It may be the control whose press handler is running.
        control->deleteLater();
    }
}

QAction *MainWindow::action(const QString &objectName) const {
    return findChild<QAction *>(objectName);
}

QPoint MainWindow::surfaceTwips(QPointF pixels) const {
    return {screenPixelsToTwips(pixels.x(), state_.tpp.x),
            screenPixelsToTwips(pixels.y(), state_.tpp.y)};
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // A key event travels up from the focused control to its parents: it is taken
        // once, where it starts.
        const QWidget *focus = QApplication::focusWidget();
        const auto *widget = qobject_cast<QWidget *>(watched);
        const bool first = focus ? watched == focus : watched == this;
        const auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats its presses, not its releases.
        const bool repeatedRelease = event->type() == QEvent::KeyRelease && key->isAutoRepeat();
        if (widget && first && widget->window() == this && !repeatedRelease) {
            if (event->type() == QEvent::KeyPress)
                emit keyPressed(key->key());
            else
                emit keyReleased(key->key());
        }
        return false;
    }
    if (watched == surface_) {
        if (event->type() == QEvent::Resize)
            placeNotice();
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *e = static_cast<QMouseEvent *>(event);
            emit backgroundPressed(e->button(), surfaceTwips(e->position()));
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            emit backgroundMoved(surfaceTwips(static_cast<QMouseEvent *>(event)->position()));
            return false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::applyLook() {
    const auto color = toInt32(state_.settings.backgroundColor);
    setBackgroundColorValue(color.value_or(16777215));
    cadreSelection_->setBorderWidth(state_.settings.frameThickness);
    cadreSelection_->setBorderColorValue(state_.settings.frameColor);
    // Turned off, the strip forgets its message: none may come back unseen.
    if (!state_.settings.sentenceBar)
        sentenceBar_->clear();
    sentenceBar_->setSpeaker(state_.settings.personGender == kGenderFeminine ? Gender::Feminine
                                                                             : Gender::Masculine);
    const bool was = !sentenceBar_->isHidden();
    const int height = sentenceBar_->maximumHeight();
    const Settings &s = state_.settings;
    sentenceBar_->setChoicesShown((s.prediction && s.predictionCount > 0) || s.alreadySaid,
                                  s.alreadySaid);
    sentenceBar_->setVisible(s.sentenceBar);
    if (was != s.sentenceBar) {
        makeRoomForStrip(s.sentenceBar);
    } else if (s.sentenceBar && height != sentenceBar_->maximumHeight()) {
        // The row of choices came or went: the page keeps its room.
        makeRoomForStrip(false);
        makeRoomForStrip(true);
    }
}

QRect grownOnScreen(const QRect &outer, int extra, const QRect &screen) {
    QRect grown = outer;
    grown.setHeight(std::min(outer.height() + extra, std::max(outer.height(), screen.height())));
    if (grown.bottom() > screen.bottom())
        grown.moveBottom(screen.bottom());
    if (grown.top() < screen.top())
        grown.moveTop(screen.top());
    return grown;
}

QRect MainWindow::availableScreen() const {
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void MainWindow::makeRoomForStrip(bool shown) {
    // Before the window is first shown, its place is set with the strip counted in.
    if (!isVisible() || requestedOuter_)
        return;
    const QRect frame = frameGeometry();
    QRect wanted;
    if (shown) {
        wanted = grownOnScreen(frame, sentenceBar_->maximumHeight(), availableScreen());
        stripRoom_ = wanted.height() - frame.height();
    } else {
        wanted = QRect(frame.topLeft(), QSize(frame.width(), frame.height() - stripRoom_));
        stripRoom_ = 0;
    }
    move(wanted.topLeft());
    resize(width(), std::max(1, height() + wanted.height() - frame.height()));
}

void MainWindow::applySettingsRead(const SettingsReadOutcome &outcome) {
    if (outcome.frameBorderColor)
        cadreSelection_->setBorderColorValue(*outcome.frameBorderColor);
    tmDefilement_->setInterval(scanIntervalMs(state_.settings.scanDelay));
    if (state_.settings.accessMode == kAccessScanning)
        tmDefilement_->start();
}

void MainWindow::setBackgroundColorValue(qint32 value) {
    backgroundColor_ = value;
    QPalette pal = surface_->palette();
    pal.setColor(QPalette::Window, colorFromValue(value, palette()));
    surface_->setPalette(pal);
}

void MainWindow::setOuterGeometryTwips(const WindowTwips &g) {
    requestedOuter_ = g;
    applyOuterGeometry();
}

void MainWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (requestedOuter_) {
        applyOuterGeometry();
        requestedOuter_.reset();
    }
}

QRect heldToScreen(double left, double top, double width, double height, const QRect &screen) {
    // Held in floating point first: a damaged file may hold any number.
    const auto held = [](double v, double low, double high) {
        return int(std::lround(std::clamp(std::isfinite(v) ? v : low, low, high)));
    };
    // Wholly on the screen: moved onto it, and shrunk to it when it is larger (a place kept
    // from a bigger monitor, or a damaged file).
    const int w = held(width, std::min(kMinWindowWidth, screen.width()), screen.width());
    const int h = held(height, std::min(kMinWindowHeight, screen.height()), screen.height());
    const int x = held(left, screen.left(), screen.right() + 1 - w);
    const int y = held(top, screen.top(), screen.bottom() + 1 - h);
    return {x, y, w, h};
}

void MainWindow::applyOuterGeometry() {
    const WindowTwips &g = *requestedOuter_;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int extraW = frame.width() - inner.width();
    const int extraH = frame.height() - inner.height();
    const QRect screen = availableScreen();
    QRect outer = heldToScreen(g.left / state_.tpp.x, g.top / state_.tpp.y, g.width / state_.tpp.x,
                               g.height / state_.tpp.y, screen);
    // The page keeps its whole height under the strip.
    stripRoom_ = 0;
    if (!sentenceBar_->isHidden()) {
        const QRect grown = grownOnScreen(outer, sentenceBar_->maximumHeight(), screen);
        stripRoom_ = grown.height() - outer.height();
        outer = grown;
    }
    move(outer.topLeft());
    resize(std::max(1, outer.width() - extraW), std::max(1, outer.height() - extraH));
}

void MainWindow::setFullScreen(bool on) {
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    // The window manager is asked, and the place is given too: without a window manager (a
    // kiosk, a bare X server) the asking alone changes nothing.
    if (on) {
        normalFrame_ = frameGeometry();
        normalPlace_ = geometry();
        showFullScreen();
        if (const QScreen *s = screen())
            setGeometry(s->geometry());
    } else {
        showNormal();
        if (normalPlace_.isValid())
            setGeometry(normalPlace_);
    }
}

WindowTwips MainWindow::outerGeometryTwips() const {
    // Full screen is a way of showing the window, not the place it is kept at.
    const QRect f = fullScreen_ && normalFrame_.isValid() ? normalFrame_ : frameGeometry();
    return {f.x() * state_.tpp.x, f.y() * state_.tpp.y, f.width() * state_.tpp.x,
            std::max(1, f.height() - stripRoom_) * state_.tpp.y};
}

void MainWindow::setPageTitle(const QString &currentPage) {
    setWindowTitle(QStringLiteral("Tablavox -::- ") + currentPage);
}

void MainWindow::setUsageMark(bool shown) {
    usageMark_->setVisible(shown);
}

void MainWindow::setNotice(const QString &text) {
    notice_->setText(text);
    notice_->setAccessibleName(text);
    notice_->setVisible(!text.isEmpty());
    placeNotice();
}

void MainWindow::placeNotice() {
    if (notice_->isHidden())
        return;
    const int width = surface_->width();
    const int height = notice_->heightForWidth(width);
    notice_->setGeometry(0, surface_->height() - height, width, height);
    notice_->raise();
}

void MainWindow::closeForQuit() {
    quitting_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!quitting_)
        emit closedByUser();
    event->accept();
}

} // namespace tv
