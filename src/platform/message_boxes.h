#pragma once
// Message boxes and the one-line input box.

#include <QString>
#include <optional>

enum class MessageIcon { None, Information, Warning };

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A box with an OK button.
    virtual void show(const QString& text, const QString& title, MessageIcon icon) = 0;
    // Yes / No question; true for Yes.
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    // One-line input; std::nullopt on cancel.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& initial = QString()) = 0;

    void plain(const QString& text, const QString& title = QString())
    {
        show(text, title, MessageIcon::None);
    }
    void warning(const QString& text, const QString& title = QString())
    {
        show(text, title, MessageIcon::Warning);
    }
    void information(const QString& text, const QString& title = QString())
    {
        show(text, title, MessageIcon::Information);
    }
};
