#include "support/ScriptedHost.h"

namespace zol::test {

MsgAnswer ScriptedHost::MessageBox(const std::string& text, const std::string& title,
                                   MsgButtons buttons, MsgIcon icon) {
    MsgAnswer answer = MsgAnswer::OK;
    if (!MessageAnswers.empty()) {
        answer = MessageAnswers.front();
        MessageAnswers.pop_front();
    } else if (buttons != MsgButtons::OK) {
        answer = MsgAnswer::Cancel;
    }
    Messages.push_back({text, title, buttons, icon, answer});
    return answer;
}

std::optional<std::string> ScriptedHost::InputBox(const std::string& Prompt,
                                                  const std::string& Title,
                                                  const std::string& Default) {
    std::optional<std::string> answer;
    if (!InputAnswers.empty()) {
        answer = InputAnswers.front();
        InputAnswers.pop_front();
    }
    Inputs.push_back({Prompt, Title, Default, answer});
    return answer;
}

}  // namespace zol::test
