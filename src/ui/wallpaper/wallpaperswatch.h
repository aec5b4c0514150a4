#pragma once

#include <QAbstractButton>

namespace tessaro {

// One background colour to choose: a rounded shape filled with the colour,
// outlined in the line colour, or thicker in the accent colour while it is
// the chosen one. Screen readers hear the colour's hex text, and "checked"
// for the chosen one.
class WallpaperSwatch final : public QAbstractButton {
    Q_OBJECT

public:
    explicit WallpaperSwatch(const QString& hex, QWidget* parent = nullptr);

    QString hex() const { return m_hex; }
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected) { setChecked(selected); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // A press always chooses; it never takes the choice back.
    void nextCheckState() override {}

private:
    QString m_hex;
};

} // namespace tessaro
