#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "tools/batch_tools_view.h"

class ConfigStore;
class QPushButton;

// The batch tools window "批处理工具": its controls by control name for the batch
// operations, which hold the rules, and its dialogs. Not modal, owned by the main window;
// its control states are restored when it opens and saved when it closes.
class BatchToolsWindow : public QWidget, public BatchToolsView {
    Q_OBJECT
public:
    BatchToolsWindow(ConfigStore& store, QWidget* owner);
    ~BatchToolsWindow() override;

    // What the buttons do; the main window connects them to the batch operations.
    struct Actions {
        std::function<void()> readCategories, importSites, deleteCategories, deleteArticles;
        std::function<void(bool fromFiles)> createCategories;
        std::function<void()> openPinyin, openRandomText;
    };
    void SetActions(Actions actions) { m_actions = std::move(actions); }

    // Shows the window with its saved states (restored on every opening) and raises it.
    void Open();

    std::string Text(const std::string& control) const override;
    void SetText(const std::string& control, const std::string& text) override;
    bool Checked(const std::string& control) const override;
    std::int32_t Index(const std::string& control) const override;
    std::string Caption(const std::string& button) const override;
    void SetCaption(const std::string& button, const std::string& caption) override;
    void SetEnabled(const std::string& control, bool on) override;
    void ShowMessage(const std::string& text, const std::string& title) override;
    bool AskOkCancel(const std::string& text) override;
    TextResult AskText(const TextRequest& request, bool ownerless = false) override;
    std::vector<std::string> PickFiles(const std::string& title,
                                       const std::string& filter) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildUi();
    void Connect();
    void Persist(bool save);
    QWidget* Control(const std::string& control) const;

    ConfigStore& m_store;
    QWidget* m_owner;
    Actions m_actions;
    QPushButton* m_create = nullptr;
};
