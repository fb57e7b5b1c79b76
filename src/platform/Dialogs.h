#pragma once

#include <QString>
#include <optional>

namespace tv {

inline const QString kProgramTitle = QStringLiteral("Tablavox");

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct OpenFileRequest {
    QString initialDirectory;
    QString fileName;
    QString filter;       // "description|pattern;pattern|description|pattern"
    bool newFile = false; // a name that does not exist yet may be given
};

// The standard modal dialogs. Texts join their lines with CR LF.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An empty title shows the program title.
    virtual MessageAnswer message(const QString &text, MessageIcon icon, MessageButtons buttons,
                                  const QString &title = {}) = 0;
    // Empty when cancelled.
    virtual QString input(const QString &prompt, const QString &title, const QString &preset) = 0;
    // The chosen file's full path; nullopt when cancelled.
    virtual std::optional<QString> openFile(const OpenFileRequest &request) = 0;
    // 0x00BBGGRR; nullopt when cancelled.
    virtual std::optional<qint32> chooseColor() = 0;
};

// A new file to write, asked in the home directory: its path with the extension added when
// the carer left it out; nullopt when cancelled, or when a file of that name exists and the
// carer does not want it replaced.
std::optional<QString> askNewFile(Dialogs &dialogs, const QString &proposed, const QString &filter,
                                  const QString &extension);

// "Images|*.jpg;*.bmp" -> "Images (*.jpg *.bmp)", one entry per pair, ";;" between them.
QString qtFileFilter(const QString &filter);

// A name or a text quoted in a message, cut in its middle when it is too long to read (a
// hostile file can hold a line of a million characters).
QString shortenedForMessage(const QString &text, int maxLength = 80);

} // namespace tv
