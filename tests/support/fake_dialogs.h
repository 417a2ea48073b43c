#pragma once
// Message boxes answered by the test: every message is recorded; Yes/No
// questions take their answers from a queue (No when it is empty).

#include "platform/dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace zenvik::test {

class FakeDialogs : public Dialogs {
public:
    void inform(const Text& message) override {
        messages.push_back(message);
        if (onMessage) onMessage(message);
    }
    bool askYesNo(const Text& message) override {
        questions.push_back(message);
        if (onMessage) onMessage(message);
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<Text> messages;   // inform() texts, in order
    std::vector<Text> questions;  // askYesNo() texts, in order
    std::deque<bool> answers;
    // Runs while the box would be open (a nested event loop in the program).
    std::function<void(const Text&)> onMessage;
};

} // namespace zenvik::test
