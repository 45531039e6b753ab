#pragma once

#include <QWidget>
#include <memory>

class ConfigStore;
class PinyinConverter;
class QtFormWindow;
class QtToolView;

// The window "汉字拼音转换器": Chinese text to pinyin with a choice of case, initials only
// and the clean-up that keeps only letters. Not modal; its options come back from the
// settings file when it is created and go there when it is closed. Open it with show()
// (and raise() / activateWindow() when it is already open); close() saves its state.
class PinyinWindow : public QWidget {
    Q_OBJECT
public:
    explicit PinyinWindow(ConfigStore& store, QWidget* parent = nullptr);
    ~PinyinWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildUi();

    ConfigStore& m_store;
    std::unique_ptr<QtToolView> m_view;
    std::unique_ptr<PinyinConverter> m_converter;
    std::unique_ptr<QtFormWindow> m_controls;
};
