// The one way every operation shows a message to the technician. The main window installs the
// message-box sink (widgets/Messages.h); tests install a recorder, which answers at once and keeps
// the texts. Plain UTF-8 strings, so that the records library and the Qt-free core can report
// through the same sink as the pages.
#pragma once

#include <string>

// What a message is, so that it looks like it: a confirmation, a warning about what the user
// asked for, or an error of the module, the line or the database.
enum class TMessageKind { Information, Warning, Error };

class TMessageSink
{
public:
    virtual ~TMessageSink() = default;
    // The text with a short hint of what to check beside it (the message box's informative
    // text), or none. The text itself stays as it is; a sink without room for hints shows it
    // alone.
    virtual void Show(const std::string &text, const std::string &hint, TMessageKind kind) = 0;

    void ShowMessage(const std::string &text) { Show(text, {}, TMessageKind::Warning); }
    void ShowMessageWithHint(const std::string &text, const std::string &hint)
    {
        Show(text, hint, TMessageKind::Warning);
    }
    void ShowError(const std::string &text, const std::string &hint = {})
    {
        Show(text, hint, TMessageKind::Error);
    }
    void ShowInformation(const std::string &text) { Show(text, {}, TMessageKind::Information); }
};
