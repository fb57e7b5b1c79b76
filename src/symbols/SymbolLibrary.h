#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

// Lower case, without accents or ligatures, typographic apostrophes made plain: what a
// carer types ("ecole", "Ecole", "école") meets what the library says ("école").
QString foldForSearch(const QString &text);
// The folded words of a text: runs of letters and digits.
QStringList searchWords(const QString &text);

struct Symbol {
    QString label;    // as the library says it, in French
    QString hexcode;  // the drawing's name, "1F436"
    QStringList tags; // French keywords
    QStringList labelWords;
    QStringList tagWords;
};

// The symbols and their French names, searched as the carer types.
class SymbolLibrary {
public:
    // From the annotations (a JSON array of {label, hexcode, tags, group, skins…}) and the
    // directory of their drawings. Components (skin tones, hair) and symbols without a
    // drawing are left out; skin-tone variants are never listed on their own.
    static SymbolLibrary fromAnnotations(const QByteArray &json, const QString &svgDirectory);
    // The library in `directory` ("fr.json" and "svg/"); empty, with the reason, when it
    // cannot be read.
    static SymbolLibrary load(const QString &directory, QString *error = nullptr);
    // Beside the program, else where the build put it.
    static QString defaultDirectory();

    bool isEmpty() const { return symbols_.empty(); }
    int size() const { return int(symbols_.size()); }
    const Symbol &at(int index) const { return symbols_[std::size_t(index)]; }
    QString drawingPath(int index) const;

    // Indexes of the symbols every word of the query begins a word of, best first: the label
    // before the keywords, a whole word before a beginning, then the shorter label, then
    // the library's order. An empty query gives every symbol in the library's order.
    std::vector<int> search(const QString &query) const;

private:
    std::vector<Symbol> symbols_;
    QString svgDirectory_;
};

// Single "_" between the parts of a name, none at its ends.
QString tidyUnderscores(const QString &name);

// The file a symbol is written to, from its label: "pomme rouge" → "pomme_rouge.png";
// plain lower-case letters, digits and "_", so that the page file and every system can
// hold it.
QString symbolFileName(const QString &label);

// Draws the symbol into `multimediaDirectory`/symboles as a PNG and gives the name the page
// refers to it by ("symboles\chien.png"). A file of that name with other contents is never
// replaced: the symbol takes the next free name ("chien_2.png"); the same drawing already
// there is used as it is. `created` says whether a file was written. Empty, with the
// reason, when it could not be written.
struct WrittenSymbol {
    QString name;
    QString path;
    bool created = false;
};
WrittenSymbol writeSymbol(const QString &drawingPath, const QString &label,
                          const QString &multimediaDirectory, QString *error);

// The size symbols are drawn at, in pixels: crisp on the largest pictures of a page.
inline constexpr int kSymbolPixels = 512;

} // namespace tv
