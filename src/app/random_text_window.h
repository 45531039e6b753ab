#pragma once

#include <QWidget>
#include <memory>

class ConfigStore;
class QtFormWindow;
class QtToolView;
class RandomTextGenerator;

// The window "随机文本生成器": lists of random hanzi groups or digit-and-letter groups,
// one a line. Not modal; a generation runs in the window's own event handling and is
// stopped by the button that started it. Its choices come back from the settings file
// when it is created and go there when it is closed (closing or hiding it stops a
// generation).
// Open it with show() (and raise() / activateWindow() when it is already open).
class RandomTextWindow : public QWidget {
    Q_OBJECT
public:
    explicit RandomTextWindow(ConfigStore& store, QWidget* parent = nullptr);
    ~RandomTextWindow() override;

    RandomTextGenerator& Generator() { return *m_generator; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // A hidden window (the main window hides all before the program ends) stops its
    // generation, or the program could not end until it finished.
    void hideEvent(QHideEvent* event) override;

private:
    void BuildUi();

    ConfigStore& m_store;
    std::unique_ptr<QtToolView> m_view;
    std::unique_ptr<RandomTextGenerator> m_generator;
    std::unique_ptr<QtFormWindow> m_controls;
};
