// Message boxes, text input and the message-pumping wait.
#include "app/forms/shared_boxes.h"

#include "platform/system.h"
#include "platform/ui.h"

namespace forms {

bool ConfirmOkCancel(const std::string& text, const std::string& title)
{
    return ui::MessageBox(text, title, ui::Icon::Information, ui::Buttons::OkCancel) !=
           ui::Answer::Cancel;
}

void ShowWarning(const std::string& text, const std::string& title)
{
    ui::MessageBox(text, title, ui::Icon::Exclamation, ui::Buttons::Ok);
}

void ShowError(const std::string& text, const std::string& title)
{
    ui::MessageBox(text, title, ui::Icon::Stop, ui::Buttons::Ok);
}

std::string AskText(const std::string& prompt, const std::string& title, const std::string& initial)
{
    std::string answer;
    if (!ui::InputBox(prompt, title, initial, &answer))
        return {};
    return answer;
}

void WaitSeconds(double seconds)
{
    // Elapsed time on the monotonic clock: a wait across midnight or a clock
    // change still ends on time.
    const double start = sys::MonotonicSeconds();
    for (;;) {
        ui::ProcessPendingMessages();
        double remaining = seconds - (sys::MonotonicSeconds() - start);
        // Written so that a wait of NaN seconds ends too instead of spinning.
        if (!(remaining > 0))
            return;
        ui::WaitForMessages(remaining);
    }
}

} // namespace forms
