#include "app/text_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/qt_text.h"

namespace {

constexpr int kMargin = text_request::kMargin;
// Client area when the request leaves the size to the window.
constexpr int kDesignWidth = 480;
constexpr int kDesignHeight = 320;

bool g_open = false;

QPushButton* MakeButton(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

void ShowMessage(QWidget* parent, const std::string& text, QMessageBox::StandardButtons buttons,
                 QMessageBox::StandardButton* answer = nullptr) {
    QMessageBox box(QMessageBox::Information, Q(text_request::MessageTitle()), Q(text), buttons,
                    parent);
    box.setWindowModality(Qt::ApplicationModal);
    const int result = box.exec();
    if (answer) *answer = static_cast<QMessageBox::StandardButton>(result);
}

// A line with Chinese text is as tall as the font that draws the Chinese characters, which
// may be a fallback font taller than the box's own.
int ChineseLineHeight(const QFont& font) {
    QTextLayout layout(QString(QChar(0x4E2D)), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return static_cast<int>(std::ceil(line.height()));
}

class TextDialog : public QDialog {
public:
    TextDialog(const TextRequest& request, QWidget* owner) : QDialog(owner), m_request(request) {
        setObjectName(QString::fromLatin1(text_dialog::kWindowName));
        Build();
        Fill();
        SizeAndCentre();
        m_text->setFocus();
    }

    bool ok() const { return m_ok; }
    const std::string& resultText() const { return m_result; }

    // The title-bar close button and Esc come here; 取消 does not.
    void reject() override {
        if (text_request::AsksBeforeClosing(m_request, G(m_text->toPlainText()))) {
            QMessageBox::StandardButton answer = QMessageBox::No;
            ShowMessage(this, text_request::DiscardQuestion(), QMessageBox::Yes | QMessageBox::No,
                        &answer);
            if (answer != QMessageBox::Yes) return;
        }
        QDialog::reject();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        FitPrompt(event->size());
        QDialog::resizeEvent(event);
    }

private:
    void Build() {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
        column->setSpacing(kMargin);

        m_prompt = new QPlainTextEdit(this);
        m_prompt->setObjectName(QString::fromUtf8("编辑框提示"));
        m_prompt->setReadOnly(true);
        m_prompt->setFocusPolicy(Qt::NoFocus);
        m_prompt->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_prompt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_prompt->setFrameShape(QFrame::NoFrame);
        // A read-only box reads as a label, as on the system's dialogs.
        QPalette palette = m_prompt->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        m_prompt->setPalette(palette);
        column->addWidget(m_prompt);

        m_text = new QPlainTextEdit(this);
        m_text->setObjectName(QString::fromUtf8("编辑框正文"));
        // Input is one record per line (tags, site lines), so lines are not wrapped there.
        m_text->setLineWrapMode(m_request.inputMode ? QPlainTextEdit::NoWrap
                                                    : QPlainTextEdit::WidgetWidth);
        column->addWidget(m_text, 1);

        m_line = new QFrame(this);
        m_line->setObjectName(QString::fromUtf8("外形框"));
        m_line->setFrameShape(QFrame::HLine);
        m_line->setFrameShadow(QFrame::Sunken);
        column->addWidget(m_line);

        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(kMargin);
        m_restore = MakeButton("恢复", "按钮恢复", this);
        m_clear = MakeButton("清空", "按钮清空", this);
        m_paste = MakeButton("粘贴", "按钮粘贴", this);
        m_okButton = MakeButton("确定", "按钮确定", this);
        m_cancel = MakeButton("取消", "按钮取消", this);
        for (auto* small : {m_restore, m_clear, m_paste}) {
            small->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            small->setFixedWidth(small->fontMetrics().horizontalAdvance(small->text()) + 16);
            buttons->addWidget(small);
        }
        buttons->addStretch(1);
        buttons->addWidget(m_okButton);
        buttons->addWidget(m_cancel);
        column->addLayout(buttons);

        connect(m_okButton, &QPushButton::clicked, this, [this] { Confirm(); });
        connect(m_cancel, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
        connect(m_restore, &QPushButton::clicked, this, [this] { Restore(); });
        connect(m_clear, &QPushButton::clicked, m_text, &QPlainTextEdit::clear);
        connect(m_paste, &QPushButton::clicked, this,
                [this] { m_text->setPlainText(QApplication::clipboard()->text()); });
    }

    void Fill() {
        m_prompt->setPlainText(Q(text_request::ToBoxLines(text_request::PromptText(m_request))));
        setWindowTitle(Q(text_request::TitleText(m_request)));
        m_text->setPlainText(Q(text_request::ToBoxLines(m_request.text)));
        if (m_request.inputMode) {
            m_okButton->setDefault(true);
            return;
        }
        m_okButton->hide();
        m_line->hide();
        m_text->setReadOnly(true);
        // Restoring, clearing or pasting into a box that is only shown changes nothing the
        // caller gets back, so those buttons go with 确定.
        m_restore->hide();
        m_clear->hide();
        m_paste->hide();
        m_cancel->setText(Q(text_request::DisplayCloseCaption()));
        m_cancel->setDefault(true);
    }

    // The prompt's height is measured in character cells of the box's font: a byte of text
    // is half a Chinese character (or an average Latin letter, if wider) wide, a line is the
    // font's line spacing.
    void FitPrompt(const QSize& client) {
        const QFontMetrics metrics = m_prompt->fontMetrics();
        const int cellWidth =
            std::max({1, metrics.horizontalAdvance(QChar(0x4E2D)) / 2, metrics.averageCharWidth()});
        const int cellHeight = std::max(metrics.lineSpacing(), ChineseLineHeight(m_prompt->font()));
        const QMargins frame = m_prompt->contentsMargins();
        // The document's margin above and below, and the pixel the text layout rounds up.
        const int padding = 2 * static_cast<int>(m_prompt->document()->documentMargin()) + 1;
        const int boxWidth = client.width() - 2 * kMargin;
        // A line holds whole Chinese characters only: an odd cell left over stays empty.
        const int pair = 2 * cellWidth;
        const int textWidth = (boxWidth - frame.left() - frame.right() - padding) / pair * pair;
        const int rule = text_request::PromptHeight(G(m_prompt->toPlainText()), textWidth,
                                                    cellWidth, cellHeight);
        // A long prompt in a small window scrolls instead of squeezing the text box away.
        const int most = std::max(cellHeight, client.height() * 3 / 5);
        m_prompt->setFixedHeight(std::min(rule, most) + frame.top() + frame.bottom() + padding);
    }

    void SizeAndCentre() {
        const int width = m_request.width > 0 ? m_request.width + 2 * kMargin : kDesignWidth;
        resize(width, kDesignHeight);
        if (m_request.height > 0) {
            FitPrompt(size());
            layout()->activate();
            resize(width, kDesignHeight + m_request.height - m_text->height());
        }
        const QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen();
        if (!screen) return;
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - frameSize().width()) / 2,
             area.top() + (area.height() - 30) / 2 - frameSize().height() / 2);
    }

    void Confirm() {
        m_result = text_request::FromBoxLines(G(m_text->toPlainText()));
        m_ok = true;
        done(QDialog::Accepted);
    }

    void Restore() {
        if (m_request.text.empty()) {
            ShowMessage(this, text_request::EmptyRestoreMessage(), QMessageBox::Ok);
            return;
        }
        m_text->setPlainText(Q(text_request::ToBoxLines(m_request.text)));
    }

    TextRequest m_request;
    bool m_ok = false;
    std::string m_result;
    QPlainTextEdit* m_prompt = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QFrame* m_line = nullptr;
    QPushButton* m_restore = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_paste = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace

TextResult AskText(const TextRequest& request, QWidget* owner) {
    if (g_open) return {};
    g_open = true;
    TextDialog dialog(request, owner);
    dialog.exec();
    g_open = false;
    if (!dialog.ok()) return {};
    return {true, dialog.resultText()};
}
