#pragma once

#include "model/Action.h"

#include <QDialog>
#include <optional>

class QLabel;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PictureCache;
class SpeechWindow;

// Where an action opens in the dialog: the kind a press gives it; a keyword, and what does
// nothing, open as a phrase, for the carer to see and mend.
ActionKind dialogKindOf(const QString &action);

// The dialog's outer size after a resize, in twips: never below 8500 × 8000.
QSize propertiesDialogSize(QSize outerTwips);

// Sets up the current picture: its picture file and what it does (a phrase, a media file
// or a page).
class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    PropertiesDialog(AppState &state, MainWindow &window, Services &services, SpeechWindow &speech,
                     PictureCache &cache, QWidget *parent = nullptr);

    ActionKind actionKind() const { return actionKind_; }

    void chooseImage();
    void chooseMedia();
    void choosePage();
    void hearPhrase();
    // Opens the recorder; a voice kept becomes the picture's sound.
    void recordVoice();
    void save();
    // Opens the symbol search; the symbol chosen is taken as the picture's file.
    void chooseSymbol();
    // Draws the symbol into the multimedia directory and shows it as the picture's file;
    // its name goes into an empty phrase box when the picture says a phrase.
    bool takeSymbol(const QString &drawingPath, const QString &label);

    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void fill();
    void phraseChanged();
    // Enters a data directory the way the choice needs it; false, after saying so, when the
    // directory has gone.
    bool enter(const QString &dir, const QString &name);
    // Brings a file chosen elsewhere into the multimedia directory; the name it is known by
    // there, or nothing (after telling the carer) when it could not be copied.
    std::optional<QString> bringIntoMultimedia(const QString &chosenPath, const QString &name);
    // Empties the boxes the choice replaces and asks for a file of the multimedia directory.
    std::optional<QString> pickInMultimedia(const QString &filter);
    // The name a chosen file is known by from the multimedia directory, brought into it
    // when it lies elsewhere.
    std::optional<QString> nameInMultimedia(const QString &path);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    SpeechWindow &speech_;
    PictureCache &cache_;
    ActionKind actionKind_ = ActionKind::Phrase;
    // The picture file chosen in this opening, which the picture takes on saving.
    QString chosenImageFile_; // the picture chosen, not yet recorded
    QString previewPath_;
    // Symbol files this opening wrote: those the picture does not keep are removed.
    QStringList writtenSymbols_;
    // The symbol's label this dialog put into the phrase box, while the box still holds it.
    QString filledLabel_;

    QPushButton *cmdAnnuler_ = nullptr;
    QPushButton *cmdSauver_ = nullptr;
    QGroupBox *cadreImage_ = nullptr;
    QPushButton *cmdChercheImage_ = nullptr;
    QPushButton *cmdSymboles_ = nullptr;
    QLabel *lblNomImage_ = nullptr;
    QLabel *imgExemple_ = nullptr;
    QGroupBox *frame1_ = nullptr;
    QPushButton *cmdPage_ = nullptr;
    QPushButton *cmdMultiMedia_ = nullptr;
    QPlainTextEdit *txtALire_ = nullptr;
    QPushButton *cmdEcouter_ = nullptr;
    QPushButton *cmdVoix_ = nullptr;
    QLabel *lblFichierPage_ = nullptr;
    QLabel *lblFichierMultimedia_ = nullptr;
    bool resizing_ = false;
};

} // namespace tv
