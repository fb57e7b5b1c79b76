#pragma once

#include <QLabel>

namespace tv {

// A patch of colour to click on. A system colour reference is drawn in the colour the
// system gives it and kept as the reference.
class ColorSwatch : public QLabel {
    Q_OBJECT
public:
    ColorSwatch(qint32 value, const QString &objectName, QWidget *parent);

    qint32 value() const { return value_; }

signals:
    void clicked(qint32 value);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    qint32 value_;
};

} // namespace tv
