#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/batch_tools_view.h"

// A BatchToolsView without a window: the controls at their design values, kept in
// memory, every message and dialog recorded. The command line runs the batch tools over
// it; the tests script its answers and read what the window would have shown.
class MemoryBatchToolsView : public BatchToolsView {
public:
    struct Message {
        std::string text;
        std::string title;
    };

    MemoryBatchToolsView();  // the window as it opens the first time

    std::map<std::string, std::string> texts, captions;
    std::map<std::string, bool> checks, enabled;
    std::map<std::string, std::int32_t> indices;
    std::vector<Message> messages;                             // ShowMessage, in order
    std::vector<std::string> questions;                        // AskOkCancel, in order
    std::vector<TextRequest> textRequests;                     // AskText, in order
    std::vector<bool> textOwnerless;                           // and whether it had no owner
    std::function<bool(const std::string&)> answer;            // OK/Cancel; default OK
    std::function<TextResult(const TextRequest&)> textAnswer;  // default: cancelled
    std::vector<std::string> pickedFiles;                      // what PickFiles returns
    std::vector<std::string> pickTitles;                       // PickFiles titles asked, in order

    // Selects one of the three scope radio buttons (单选框选定, 单选框勾选, 单选框全部).
    void ChooseScope(const std::string& radio);

    std::string Text(const std::string& control) const override;
    void SetText(const std::string& control, const std::string& text) override;
    bool Checked(const std::string& control) const override;
    std::int32_t Index(const std::string& control) const override;
    std::string Caption(const std::string& button) const override;
    void SetCaption(const std::string& button, const std::string& caption) override;
    void SetEnabled(const std::string& control, bool on) override { enabled[control] = on; }
    bool Enabled(const std::string& control) const;

    void ShowMessage(const std::string& text, const std::string& title) override;
    bool AskOkCancel(const std::string& text) override;
    TextResult AskText(const TextRequest& request, bool ownerless = false) override;
    std::vector<std::string> PickFiles(const std::string& title,
                                       const std::string& filter) override;
};
