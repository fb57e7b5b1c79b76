#include "SymbolDialog.h"

#include <utility>

#include "SymbolLibrary.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCache>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace tv {

namespace {
constexpr int kIconPixels = 96;
constexpr int kCellPixels = 170;
// Drawings kept once drawn, so that scrolling back and typing again cost nothing.
constexpr int kDrawingsKept = 600;
} // namespace

// The symbols matching the query, drawn only when the grid shows them.
class SymbolResults : public QAbstractListModel {
public:
    explicit SymbolResults(const SymbolLibrary &library, QObject *parent)
        : QAbstractListModel(parent), library_(library), drawings_(kDrawingsKept) {}

    void show(std::vector<int> found) {
        beginResetModel();
        found_ = std::move(found);
        endResetModel();
    }
    int symbolAt(int row) const {
        return row >= 0 && row < int(found_.size()) ? found_[std::size_t(row)] : -1;
    }
    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(found_.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        const int symbol = symbolAt(index.row());
        if (symbol < 0)
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return library_.at(symbol).label;
        case Qt::ToolTipRole:
            return library_.at(symbol).label + QLatin1String(" — ") +
                   library_.at(symbol).tags.join(QLatin1String(", "));
        case Qt::DecorationRole:
            return drawing(symbol);
        case Qt::SizeHintRole:
            // Room for a name on two lines under the drawing; the same for every cell, so
            // that the grid never draws what it does not show to measure it.
            return QSize(kCellPixels - 8, kCellPixels - 8);
        default:
            return {};
        }
    }

private:
    QPixmap drawing(int symbol) const {
        if (const QPixmap *kept = drawings_.object(symbol))
            return *kept;
        const qreal ratio = qApp->devicePixelRatio();
        QPixmap pixmap(QSize(kIconPixels, kIconPixels) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QSvgRenderer renderer(library_.drawingPath(symbol));
        if (renderer.isValid()) {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, kIconPixels, kIconPixels));
        }
        drawings_.insert(symbol, new QPixmap(pixmap));
        return pixmap;
    }

    const SymbolLibrary &library_;
    std::vector<int> found_;
    mutable QCache<int, QPixmap> drawings_;
};

SymbolDialog::SymbolDialog(const SymbolLibrary &library, QWidget *parent)
    : QDialog(parent), library_(library) {
    setObjectName(QStringLiteral("frmSymboles"));
    setWindowTitle(QStringLiteral("Symboles"));
    QFont large = font();
    large.setPointSize(14);
    setFont(large);

    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("txtRecherche"));
    field_->setAccessibleName(QStringLiteral("Symbole cherché"));
    field_->setPlaceholderText(QStringLiteral("Tapez un mot : manger, chien, content…"));
    field_->installEventFilter(this);

    results_ = new SymbolResults(library_, this);
    grid_ = new QListView(this);
    grid_->setObjectName(QStringLiteral("lstSymboles"));
    grid_->setAccessibleName(QStringLiteral("Symboles trouvés"));
    grid_->setModel(results_);
    grid_->setViewMode(QListView::IconMode);
    grid_->setResizeMode(QListView::Adjust);
    grid_->setMovement(QListView::Static);
    grid_->setUniformItemSizes(true);
    grid_->setWordWrap(true);
    grid_->setIconSize(QSize(kIconPixels, kIconPixels));
    grid_->setGridSize(QSize(kCellPixels, kCellPixels));
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(grid_, &QListView::activated, this, &SymbolDialog::take);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblCompte"));
    auto *credit = new QLabel(
        QStringLiteral("Symboles OpenMoji (CC BY-SA 4.0), noms Unicode CLDR (emojibase-data)"),
        this);
    QFont small = font();
    small.setPointSize(9);
    credit->setFont(small);

    auto *choose = new QPushButton(QStringLiteral("&Choisir"), this);
    choose->setObjectName(QStringLiteral("cmdChoisir"));
    auto *cancel = new QPushButton(QStringLiteral("&Annuler"), this);
    cancel->setObjectName(QStringLiteral("cmdAnnuler"));
    for (QPushButton *b : {choose, cancel}) {
        b->setAutoDefault(false);
        b->setMinimumHeight(48);
    }
    connect(choose, &QPushButton::clicked, this, &SymbolDialog::take);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(count_, 1);
    buttons->addWidget(cancel);
    buttons->addWidget(choose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(field_);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    layout->addWidget(credit);
    resize(940, 680);

    connect(field_, &QLineEdit::textChanged, this, &SymbolDialog::showMatches);
    showMatches(QString());
    field_->setFocus();
}

int SymbolDialog::shownCount() const {
    return results_->rowCount();
}

void SymbolDialog::showMatches(const QString &query) {
    search_.renew();
    search_.run(
        [library = &library_, query](const OffThread::Token &) { return library->search(query); },
        [this, query](const std::vector<int> &matches) { shown(query, matches); });
}

void SymbolDialog::shown(const QString &query, const std::vector<int> &matches) {
    results_->show(matches);
    const int n = results_->rowCount();
    if (n > 0)
        grid_->setCurrentIndex(results_->index(0));
    if (n == 0)
        count_->setText(QStringLiteral("Aucun symbole pour « %1 »").arg(query.trimmed()));
    else
        count_->setText(n == 1 ? QStringLiteral("1 symbole")
                               : QStringLiteral("%1 symboles").arg(n));
    if (std::exchange(takeWhenShown_, false))
        take();
}

void SymbolDialog::take() {
    if (search_.running() > 0) {
        takeWhenShown_ = true;
        return;
    }
    const int symbol = results_->symbolAt(grid_->currentIndex().row());
    if (symbol < 0)
        return;
    chosen_ = symbol;
    accept();
}

bool SymbolDialog::eventFilter(QObject *watched, QEvent *event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The field keeps the focus: typing goes on refining while the arrows choose.
            QApplication::sendEvent(grid_, event);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            take();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tv
