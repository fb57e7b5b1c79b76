#include "PropertiesDialog.h"

#include "model/Action.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PageCommands.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "platform/DialogParts.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/Services.h"
#include "platform/StoredPath.h"
#include "symbols/SymbolDialog.h"
#include "symbols/SymbolLibrary.h"
#include "use/SpeechWindow.h"
#include "voice/RecorderWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace tv {

namespace {

// Windows page sets name their pictures in capitals as often as not.
const QString kImagesFilter =
    QStringLiteral("Images JPG|*.jpg;*.jpeg;*.bmp;*.png;*.JPG;*.JPEG;*.BMP;*.PNG");
const QString kMediaFilter =
    QStringLiteral("Sons,Musiques,Vidéos|*.wav;*.mid;*.mp3;*.avi;*.mpg;*.wmv;*.flv");

QString phraseForBox(const QString &stored) {
    QString text = stored;
    return text.replace(u'\\', u'\n');
}

QString phraseForStore(const QString &boxText) {
    QString text = boxText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\"));
    return text.replace(u'\n', u'\\');
}

// A name in the directory that no file has yet: "chat_2.jpg", "chat_3.jpg"…
QString freeName(const QString &dir, const QString &name) {
    const QFileInfo info(name);
    const QString stem = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(suffix);
        if (!QFileInfo::exists(dir + u'/' + candidate))
            return candidate;
    }
}

bool sameContent(const QString &a, const QString &b) {
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    return fa.readAll() == fb.readAll();
}

} // namespace

ActionKind dialogKindOf(const QString &action) {
    const ActionKind kind = actionKind(action);
    return kind == ActionKind::Media || kind == ActionKind::PageLink ? kind : ActionKind::Phrase;
}

QSize propertiesDialogSize(QSize outer) {
    int w = outer.width();
    int h = outer.height();
    if (!(w >= 8500 && h >= 8000))
        w = 8500;
    if (h < 8000)
        h = 8000;
    return {w, h};
}

PropertiesDialog::PropertiesDialog(AppState &state, MainWindow &window, Services &services,
                                   SpeechWindow &speech, PictureCache &cache, QWidget *parent)
    : QDialog(parent), state_(state), window_(window), services_(services), speech_(speech),
      cache_(cache) {
    setObjectName(QStringLiteral("frmPropriétés"));
    setWindowTitle(QStringLiteral("Propriétés"));
    QDir::setCurrent(state_.paths.dataDirectory);
    buildControls();
    fill();
}

void PropertiesDialog::buildControls() {
    const auto px = [this](int l, int t, int w, int h) {
        return twipsToPixels(state_.tpp, l, t, w, h);
    };
    const auto button = addButton;
    const auto greyLabel = [&](QWidget *parent, const QString &name, QRect pixels) {
        auto *l = new QLabel(parent);
        l->setObjectName(name);
        l->setGeometry(pixels);
        paintBackground(l, 0xE0E0E0);
        return l;
    };

    paintBackground(this, toInt32(state_.settings.backgroundColor).value_or(16777215));
    resize(px(0, 0, 8340, 7380).size());

    cmdAnnuler_ = button(this, QStringLiteral("&Annuler"), QStringLiteral("cmdAnnuler"),
                         px(120, 120, 1700, 400));
    cmdAnnuler_->setStyleSheet(QStringLiteral("background-color: rgb(230, 60, 60);"));
    cmdSauver_ = button(this, QStringLiteral("&Enregistrer"), QStringLiteral("cmdSauver"),
                        px(1960, 120, 1700, 400));
    cmdSauver_->setStyleSheet(QStringLiteral("background-color: rgb(70, 190, 80);"));

    cadreImage_ = addFrame(this, QStringLiteral("Image"), QStringLiteral("cadreimage"),
                           px(120, 600, 8000, 3500));
    cmdChercheImage_ = button(cadreImage_, QStringLiteral("Image"),
                              QStringLiteral("cmdChercheImage"), px(120, 300, 1300, 400));
    cmdSymboles_ = button(cadreImage_, QStringLiteral("Symboles"), QStringLiteral("cmdSymboles"),
                          px(1560, 300, 1300, 400));
    lblNomImage_ = greyLabel(cadreImage_, QStringLiteral("lblNomImage"), px(3000, 300, 4760, 400));
    imgExemple_ = new QLabel(cadreImage_);
    imgExemple_->setObjectName(QStringLiteral("ImgExemple"));
    imgExemple_->setScaledContents(true);
    imgExemple_->move(px(120, 840, 0, 0).topLeft());

    cmdVoix_ = button(this, QStringLiteral("Enregistrer une voix…"), QStringLiteral("cmdVoix"),
                      px(5300, 120, 2820, 400));
    frame1_ = addFrame(this, QStringLiteral("Commande"), QStringLiteral("Frame1"),
                       px(120, 4200, 8000, 3000));
    cmdPage_ =
        button(frame1_, QStringLiteral("Page"), QStringLiteral("cmdPage"), px(120, 300, 1300, 400));
    lblFichierPage_ =
        greyLabel(frame1_, QStringLiteral("lblFichierPage"), px(1560, 300, 6200, 400));
    cmdMultiMedia_ = button(frame1_, QStringLiteral("Multimedia"), QStringLiteral("cmdMultiMedia"),
                            px(120, 800, 1300, 400));
    lblFichierMultimedia_ =
        greyLabel(frame1_, QStringLiteral("lblFichierMultimedia"), px(1560, 800, 6200, 400));
    cmdEcouter_ = button(frame1_, QStringLiteral("Phrase"), QStringLiteral("cmdEcouter"),
                         px(120, 1300, 1300, 400));
    txtALire_ = new QPlainTextEdit(frame1_);
    txtALire_->setObjectName(QStringLiteral("txtALire"));
    txtALire_->setFont(QFont(QStringLiteral("Arial"), 12));
    txtALire_->setGeometry(px(1560, 1300, 6200, 1500));
    frame1_->raise();

    connect(cmdAnnuler_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdSauver_, &QPushButton::clicked, this, &PropertiesDialog::save);
    connect(cmdChercheImage_, &QPushButton::clicked, this, &PropertiesDialog::chooseImage);
    connect(cmdSymboles_, &QPushButton::clicked, this, &PropertiesDialog::chooseSymbol);
    connect(cmdMultiMedia_, &QPushButton::clicked, this, &PropertiesDialog::chooseMedia);
    connect(cmdPage_, &QPushButton::clicked, this, &PropertiesDialog::choosePage);
    connect(cmdEcouter_, &QPushButton::clicked, this, &PropertiesDialog::hearPhrase);
    connect(cmdVoix_, &QPushButton::clicked, this, &PropertiesDialog::recordVoice);
    connect(txtALire_, &QPlainTextEdit::textChanged, this, &PropertiesDialog::phraseChanged);
}

void PropertiesDialog::fill() {
    const PictureControl *picture = window_.pictureAt(state_.currentImage);
    if (!picture)
        return;
    imgExemple_->resize(twipsToScreenPixels(picture->widthTwips(), state_.tpp.x),
                        twipsToScreenPixels(picture->heightTwips(), state_.tpp.y));
    imgExemple_->setPixmap(QPixmap::fromImage(picture->picture()));
    const ImageRecord &record = state_.page.imageTable[std::size_t(state_.currentImage)];
    lblNomImage_->setText(record.imageFile);
    const QString action = picture->tag();
    actionKind_ = dialogKindOf(action);
    if (actionKind_ == ActionKind::Media)
        lblFichierMultimedia_->setText(action);
    else if (actionKind_ == ActionKind::PageLink)
        lblFichierPage_->setText(action);
    else
        txtALire_->setPlainText(phraseForBox(action));
}

void PropertiesDialog::phraseChanged() {
    lblFichierMultimedia_->clear();
    lblFichierPage_->clear();
    if (!txtALire_->toPlainText().isEmpty())
        actionKind_ = ActionKind::Phrase;
}

bool PropertiesDialog::enter(const QString &dir, const QString &name) {
    if (QDir::setCurrent(dir))
        return true;
    // The page being built stays open: the carer can still save it.
    services_.dialogs.message(QStringLiteral("Le répertoire ''%1'' n'existe pas\r\n"
                                             "Vous devez le créer")
                                  .arg(name),
                              MessageIcon::Critical, MessageButtons::Ok);
    return false;
}

std::optional<QString> PropertiesDialog::bringIntoMultimedia(const QString &chosenPath,
                                                             const QString &name) {
    services_.dialogs.message(QStringLiteral("Le fichier va être recopié dans le répertoire "
                                             "''multimedia'' du programme"),
                              MessageIcon::None, MessageButtons::Ok);
    const QString media = state_.paths.multimediaDirectory();
    QString target = name;
    if (QFileInfo::exists(media + u'/' + target)) {
        if (sameContent(chosenPath, media + u'/' + target))
            return target;
        // Another picture of the carer's already has that name: both are kept.
        target = freeName(media, name);
    }
    if (!QFile::copy(chosenPath, media + u'/' + target)) {
        services_.dialogs.message(QStringLiteral("Le fichier ''") + name +
                                      QStringLiteral("'' n'a pas pu être recopié dans le "
                                                     "répertoire ''multimedia''."),
                                  MessageIcon::Critical, MessageButtons::Ok);
        return std::nullopt;
    }
    return target;
}

std::optional<QString> PropertiesDialog::nameInMultimedia(const QString &path) {
    const ChosenFile chosen = relativeToDataDirectory(state_.paths.multimediaDirectory(), path);
    QDir::setCurrent(state_.paths.dataDirectory);
    if (chosen.inside)
        return chosen.name;
    return bringIntoMultimedia(path, chosen.name);
}

std::optional<QString> PropertiesDialog::pickInMultimedia(const QString &filter) {
    if (!enter(state_.paths.multimediaDirectory(), QStringLiteral("multimedia")))
        return std::nullopt;
    if (!txtALire_->toPlainText().isEmpty())
        txtALire_->clear();
    lblFichierPage_->clear();
    return services_.dialogs.openFile({state_.paths.multimediaDirectory(), QString(), filter});
}

void PropertiesDialog::chooseImage() {
    const auto path = pickInMultimedia(kImagesFilter);
    if (!path)
        return;
    const QImage image = decodePicture(*path, imgExemple_->size());
    if (image.isNull()) {
        services_.dialogs.message(QStringLiteral("Le fichier ''") + QFileInfo(*path).fileName() +
                                      QStringLiteral("'' n'est pas une image lisible."),
                                  MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    const auto known = nameInMultimedia(*path);
    if (!known)
        return;
    const QString &name = *known;
    imgExemple_->setPixmap(QPixmap::fromImage(image));
    previewPath_ = state_.paths.multimediaDirectory() + u'/' + QString(name).replace(u'\\', u'/');
    lblNomImage_->setText(name);
    // Recorded only with "Enregistrer": "&Annuler" leaves the picture's record as it was.
    chosenImageFile_ = name;
}

namespace {
// Read once, at the first search: the library does not change while the program runs.
const SymbolLibrary &symbolLibrary(QString *error) {
    static QString why;
    static const SymbolLibrary library =
        SymbolLibrary::load(SymbolLibrary::defaultDirectory(), &why);
    *error = why;
    return library;
}
} // namespace

void PropertiesDialog::chooseSymbol() {
    QString why;
    const SymbolLibrary &library = symbolLibrary(&why);
    if (library.isEmpty()) {
        services_.dialogs.message(QStringLiteral("La bibliothèque de symboles est introuvable "
                                                 "(") +
                                      SymbolLibrary::defaultDirectory() + QStringLiteral(" : ") +
                                      why + u')',
                                  MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    SymbolDialog search(library, this);
    if (search.exec() != QDialog::Accepted || search.chosen() < 0)
        return;
    takeSymbol(library.drawingPath(search.chosen()), library.at(search.chosen()).label);
}

bool PropertiesDialog::takeSymbol(const QString &drawingPath, const QString &label) {
    const QString media = state_.paths.multimediaDirectory();
    if (!QFileInfo(media).isDir()) {
        enter(media, QStringLiteral("multimedia"));
        return false;
    }
    QString why;
    const WrittenSymbol written = writeSymbol(drawingPath, label, media, &why);
    if (written.name.isEmpty()) {
        services_.dialogs.message(QStringLiteral("Le symbole ''") + label +
                                      QStringLiteral("'' n'a pas pu être enregistré dans le "
                                                     "répertoire ''multimedia'' : ") +
                                      why,
                                  MessageIcon::Critical, MessageButtons::Ok);
        return false;
    }
    if (written.created)
        writtenSymbols_ << written.path;
    imgExemple_->setPixmap(QPixmap::fromImage(decodePicture(written.path, imgExemple_->size())));
    previewPath_ = written.path;
    lblNomImage_->setText(written.name);
    chosenImageFile_ = written.name;
    // The label follows the symbol chosen as long as the box holds the label this dialog put
    // there; a phrase the carer typed stays.
    const QString phrase = txtALire_->toPlainText();
    if (actionKind_ == ActionKind::Phrase &&
        (phrase.isEmpty() || (!filledLabel_.isEmpty() && phrase == filledLabel_))) {
        txtALire_->setPlainText(label);
        filledLabel_ = label;
    }
    return true;
}

void PropertiesDialog::done(int result) {
    // A symbol drawn for this opening and not kept by the picture would be a stray file.
    for (const QString &path : std::as_const(writtenSymbols_))
        if (result != QDialog::Accepted || path != previewPath_)
            QFile::remove(path);
    writtenSymbols_.clear();
    QDialog::done(result);
}

void PropertiesDialog::chooseMedia() {
    const auto path = pickInMultimedia(kMediaFilter);
    if (!path)
        return;
    const auto name = nameInMultimedia(*path);
    if (!name)
        return;
    lblFichierMultimedia_->setText(*name);
    actionKind_ = ActionKind::Media;
}

void PropertiesDialog::recordVoice() {
    // The voice is named after the phrase it stands for, when the picture says one.
    const QString phrase = actionKind_ == ActionKind::Phrase ? txtALire_->toPlainText() : QString();
    RecorderWindow recorder(services_, state_.tpp, phrase, state_.paths.multimediaDirectory(),
                            this);
    if (recorder.exec() != QDialog::Accepted)
        return;
    if (!txtALire_->toPlainText().isEmpty())
        txtALire_->clear();
    lblFichierPage_->clear();
    lblFichierMultimedia_->setText(recorder.keptName());
    actionKind_ = ActionKind::Media;
}

void PropertiesDialog::choosePage() {
    if (!enter(state_.paths.pagesDirectory(), QStringLiteral("pages")))
        return;
    if (!txtALire_->toPlainText().isEmpty())
        txtALire_->clear();
    lblFichierMultimedia_->clear();
    const auto path =
        services_.dialogs.openFile({state_.paths.pagesDirectory(), QString(), kPagesFilter});
    if (!path)
        return;
    lblFichierPage_->setText(relativeToDataDirectory(state_.paths.pagesDirectory(), *path).name);
    actionKind_ = ActionKind::PageLink;
    QDir::setCurrent(state_.paths.dataDirectory);
}

void PropertiesDialog::hearPhrase() {
    const QString text = txtALire_->toPlainText();
    if (!text.isEmpty())
        speech_.litLeTexte(QString(text).replace(u'\n', QStringLiteral("\r\n")));
}

void PropertiesDialog::save() {
    PictureControl *picture = window_.pictureAt(state_.currentImage);
    if (picture) {
        if (!previewPath_.isEmpty())
            picture->setSource(previewPath_, &cache_,
                               cache_.load(previewPath_, picture->decodeSize()));
        QString action;
        if (actionKind_ == ActionKind::Phrase)
            action = phraseForStore(txtALire_->toPlainText());
        else if (actionKind_ == ActionKind::Media)
            action = lblFichierMultimedia_->text();
        else if (actionKind_ == ActionKind::PageLink)
            action = lblFichierPage_->text();
        ImageRecord &record = state_.page.imageTable[std::size_t(state_.currentImage)];
        record.imageAction = action;
        if (!chosenImageFile_.isEmpty())
            record.imageFile = chosenImageFile_;
        picture->setTag(action);
    }
    state_.page.pageModified = true;
    accept();
}

void PropertiesDialog::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    if (isMinimized() || resizing_)
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize outer(int(std::lround((width() + frame.width()) * state_.tpp.x)),
                      int(std::lround((height() + frame.height()) * state_.tpp.y)));
    const QSize wanted = propertiesDialogSize(outer);
    if (wanted != outer) {
        resizing_ = true;
        resize(twipsToScreenPixels(wanted.width(), state_.tpp.x) - frame.width(),
               twipsToScreenPixels(wanted.height(), state_.tpp.y) - frame.height());
        resizing_ = false;
    }
    cadreImage_->resize(twipsToScreenPixels(wanted.width() - 500, state_.tpp.x),
                        twipsToScreenPixels(wanted.height() - 4500, state_.tpp.y));
}

} // namespace tv
