#pragma once

#include <QString>

#include <optional>

class QImage;

namespace tessaro {

// The desktop's clipboard.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // The clipboard's plain text; none when it holds no text.
    virtual std::optional<QString> text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setImage(const QImage& image) = 0;
};

// The clipboard through QClipboard.
class QtClipboard final : public Clipboard {
public:
    std::optional<QString> text() const override;
    void setText(const QString& text) override;
    void setImage(const QImage& image) override;
};

} // namespace tessaro
