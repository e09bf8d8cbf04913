#include "glo/UGloInputDlg.h"

#include "glo/GloResources.h"
#include "glo/GlobalObjects.h"
#include "glo/InputValueFormat.h"
#include "glo/TLengthLimitValidator.h"
#include "platform/FontSetup.h"
#include "platform/WinConstants.h"
#include "widgets/AccessibleFactory.h"
#include "widgets/LabelFitting.h"
#include "widgets/TAnchors.h"
#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>

namespace {

int ShowMessage(const QString &text, const QString &caption, std::uint32_t flags)
{
    if (g_FunctionSet)
        return g_FunctionSet->MsgBox(text, caption, flags);
    return TqelFunctionSet().MsgBox(text, caption, flags);
}

// The locale's long date without the weekday, so that it fits the picker.
QString LongDateFormat()
{
    QString f = QLocale().dateFormat(QLocale::LongFormat);
    f.remove(QRegularExpression(QStringLiteral("d{4}")));
    static const QRegularExpression edges(QStringLiteral("^[\\s,]+|[\\s,]+$"));
    f.remove(edges);
    return f.isEmpty() ? QStringLiteral("yyyy-MM-dd") : f;
}

void UseTooltipColour(QWidget *w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(QPalette::ToolTipBase));
    p.setColor(QPalette::Text, QApplication::palette().color(QPalette::ToolTipText));
    w->setPalette(p);
}

} // namespace

Tm_GloInputDlg::Tm_GloInputDlg(QWidget *owner, const QString &prompt, TFunParam &param, std::uint8_t inputKind)
    : QDialog(owner), m_nInputKind(inputKind), m_strPrompt(prompt), m_pFunParam(&param)
{
    EnsureGloResources();
    InstallAccessibleFactory();
    setupUi(this);
    // A thin tool-window frame whose only title-bar button is the close box.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setFont(SongFont(12));
    QFont promptFont = SongFont(14);
    m_PromptLable->setFont(promptFont);
    FitSingleLineLabel(m_PromptLable);

    for (QWidget *w : {static_cast<QWidget *>(m_strContent), static_cast<QWidget *>(m_Memo),
                       static_cast<QWidget *>(m_DateTimePicker_Date), static_cast<QWidget *>(m_DateTimePicker_Time)})
        UseTooltipColour(w);
    m_DateTimePicker_Date->setDisplayFormat(LongDateFormat());

    // The background stretches with the window; the etched line and the buttons keep their
    // distance to the bottom edge.
    TAnchors::Anchor(Image1, akLeft | akTop | akRight | akBottom);
    TAnchors::Anchor(Bevel1, akLeft | akBottom);
    TAnchors::Anchor(m_Button_OK, akLeft | akBottom);
    TAnchors::Anchor(m_Button_Cancel, akLeft | akBottom);

    m_PopupMenu_StrInputShortcut = new QMenu(this);
    m_PopupMenu_StrInputShortcut->setObjectName(QStringLiteral("m_PopupMenu_StrInputShortcut"));
    m_PopupMenu_MemoInputMenu = new QMenu(this);
    m_PopupMenu_MemoInputMenu->setObjectName(QStringLiteral("m_PopupMenu_MemoInputMenu"));
    m_Menu_Memo_Copy = m_PopupMenu_MemoInputMenu->addAction(QStringLiteral("复制"));
    m_Menu_Memo_Copy->setObjectName(QStringLiteral("m_Menu_Memo_Copy"));
    m_Menu_MemoPast = m_PopupMenu_MemoInputMenu->addAction(QStringLiteral("粘贴"));
    m_Menu_MemoPast->setObjectName(QStringLiteral("m_Menu_MemoPast"));
    N2 = m_PopupMenu_MemoInputMenu->addAction(QStringLiteral("剪切"));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = m_PopupMenu_MemoInputMenu->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));

    connect(m_Button_OK, &QPushButton::clicked, this, &Tm_GloInputDlg::m_Button_OKClick);
    connect(m_Button_Cancel, &QPushButton::clicked, this, &Tm_GloInputDlg::m_Button_CancelClick);
    connect(m_Menu_Memo_Copy, &QAction::triggered, this, &Tm_GloInputDlg::m_Menu_Memo_CopyClick);
    connect(m_Menu_MemoPast, &QAction::triggered, this, &Tm_GloInputDlg::m_Menu_MemoPastClick);
    connect(N2, &QAction::triggered, this, &Tm_GloInputDlg::N2Click);
    connect(m_Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_PopupMenu_MemoInputMenu->popup(m_Memo->mapToGlobal(pos)); });
    m_strContent->installEventFilter(this);

    // Built only now that the prompt, the record and the kind are known.
    FormCreate();
}

QAction *Tm_GloInputDlg::AddCaptionItem(QMenu *menu, const QString &caption)
{
    // Shown exactly as given: an "&" is a character here, not an accelerator mark.
    QAction *item = menu->addAction(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
    item->setData(caption);
    return item;
}

void Tm_GloInputDlg::FormCreate()
{
    m_DateTimePicker_Date->hide();
    m_DateTimePicker_Time->hide();
    m_strContent->hide();
    m_Memo->hide();

    m_PromptLable->setText(m_strPrompt);
    // Whichever edit is shown, a screen reader names it by the prompt.
    for (QWidget *editor : {static_cast<QWidget *>(m_strContent), static_cast<QWidget *>(m_Memo),
                            static_cast<QWidget *>(m_DateTimePicker_Date), static_cast<QWidget *>(m_DateTimePicker_Time)})
        editor->setAccessibleName(m_strPrompt);
    TFunParam &param = *m_pFunParam;
    const QDateTime when = DateTimeToQDateTime(param.m_dtDateTime);

    switch (m_nInputKind) {
    case ikText:
        m_strContent->show();
        m_strContent->setText(param.m_strText);
        if (param.m_bPassword) {
            m_strContent->setEchoMode(QLineEdit::Password);
            m_strContent->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
        }
        if (param.m_nIntValue > 0)
            m_strContent->setValidator(new TLengthLimitValidator(m_strContent, param.m_nIntValue));
        if (!param.m_lstContent.isEmpty()) {
            m_PopupMenu_StrInputShortcut->clear();
            for (const QString &line : std::as_const(param.m_lstContent)) {
                QAction *item = AddCaptionItem(m_PopupMenu_StrInputShortcut, line);
                connect(item, &QAction::triggered, this, [this, item] { StrInputShortcutItemClick(item); });
            }
            m_PopupMenu_StrInputShortcut->addSeparator();
            QAction *title = m_PopupMenu_StrInputShortcut->addAction(QStringLiteral("请选择备用的录入内容"));
            title->setEnabled(false);
            m_strContent->setToolTip(QStringLiteral("按向下键,可以直接选择备用录入内容!"));
        }
        break;
    case ikMemo: {
        const int designHeight = m_Memo->height();
        setFixedSize(width(), height() + designHeight * 10);
        TAnchors::Apply(this);
        m_Memo->resize(m_Memo->width(), designHeight * 10);
        m_Memo->show();
        m_Memo->setPlainText(MemoTextFromLines(param.m_lstContent));
        for (const QString &line : std::as_const(param.m_lstBackup)) {
            QAction *item = AddCaptionItem(m_PopupMenu_MemoInputMenu, line);
            connect(item, &QAction::triggered, this, [this, item] { MemoInputItemClick(item); });
        }
        break;
    }
    case ikDate:
        m_DateTimePicker_Date->show();
        m_DateTimePicker_Date->setDate(when.date());
        break;
    case ikTime:
        m_DateTimePicker_Time->show();
        m_DateTimePicker_Time->move(m_DateTimePicker_Date->x(), m_DateTimePicker_Time->y());
        m_DateTimePicker_Time->setTime(when.time());
        break;
    case ikDateTime:
        m_DateTimePicker_Date->show();
        m_DateTimePicker_Time->show();
        m_DateTimePicker_Date->setDate(when.date());
        m_DateTimePicker_Time->setTime(when.time());
        break;
    case ikInteger:
        m_strContent->show();
        m_strContent->setText(QString::number(param.m_nIntValue));
        break;
    case ikFloat:
        m_strContent->show();
        m_strContent->setText(FormatFloatForInput(param.m_dFloatValue));
        break;
    default:
        break;
    }
}

void Tm_GloInputDlg::FormShow()
{
    switch (m_nInputKind) {
    case ikText:
    case ikInteger:
    case ikFloat:
        m_strContent->setFocus();
        break;
    case ikMemo:
        m_Memo->setFocus();
        break;
    case ikDate:
    case ikDateTime:
        m_DateTimePicker_Date->setFocus();
        break;
    case ikTime:
        m_DateTimePicker_Time->setFocus();
        break;
    default:
        break;
    }
}

void Tm_GloInputDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_bShown) {
        m_bShown = true;
        CentreOverMainForm(this);
        FormShow();
    }
}

void Tm_GloInputDlg::m_Button_OKClick()
{
    TFunParam &param = *m_pFunParam;
    const QDateTime before = DateTimeToQDateTime(param.m_dtDateTime);
    switch (m_nInputKind) {
    case ikText:
        param.m_strText = m_strContent->text();
        break;
    case ikMemo:
        param.m_lstContent = MemoLinesFromText(m_Memo->toPlainText());
        break;
    case ikDate:
        param.m_dtDateTime = QDateTimeToDateTime(QDateTime(m_DateTimePicker_Date->date(), before.time()));
        break;
    case ikTime:
        param.m_dtDateTime = QDateTimeToDateTime(QDateTime(before.date(), m_DateTimePicker_Time->time()));
        break;
    case ikDateTime:
        param.m_dtDateTime =
            QDateTimeToDateTime(QDateTime(m_DateTimePicker_Date->date(), m_DateTimePicker_Time->time()));
        break;
    case ikInteger: {
        const auto value = ParseInt32(m_strContent->text());
        if (!value) {
            ShowMessage(QStringLiteral("你必须输入一个有效整数!"), QStringLiteral("提示"), MB_OK | MB_ICONERROR);
            m_strContent->setFocus();
            return;
        }
        param.m_nIntValue = *value;
        break;
    }
    case ikFloat: {
        const auto value = ParseFloat(m_strContent->text());
        if (!value) {
            ShowMessage(QStringLiteral("你必须输入一个有效浮点数!"), QStringLiteral("提示"), MB_OK | MB_ICONERROR);
            m_strContent->setFocus();
            return;
        }
        param.m_dFloatValue = *value;
        break;
    }
    default:
        break;
    }
    done(IDOK);
}

void Tm_GloInputDlg::m_Button_CancelClick()
{
    done(IDCANCEL);
}

void Tm_GloInputDlg::reject()
{
    m_Button_CancelClick();
}

bool Tm_GloInputDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_strContent && event->type() == QEvent::KeyRelease)
        m_strContentKeyUp(static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

void Tm_GloInputDlg::m_strContentKeyUp(QKeyEvent *event)
{
    if (event->isAutoRepeat() || event->key() != Qt::Key_Down)
        return;
    if (m_PopupMenu_StrInputShortcut->actions().isEmpty())
        return;
    const QRect g = m_strContent->geometry();
    m_PopupMenu_StrInputShortcut->popup(mapToGlobal(QPoint(g.left(), g.top() + g.height())));
}

void Tm_GloInputDlg::m_Menu_Memo_CopyClick()
{
    m_Memo->copy();
}

void Tm_GloInputDlg::m_Menu_MemoPastClick()
{
    m_Memo->paste();
}

void Tm_GloInputDlg::N2Click()
{
    m_Memo->cut();
}

void Tm_GloInputDlg::StrInputShortcutItemClick(QAction *item)
{
    m_strContent->setText(item->data().toString());
    if (m_strContent->isVisible() && m_strContent->isEnabled())
        m_strContent->setFocus();
}

void Tm_GloInputDlg::MemoInputItemClick(QAction *item)
{
    QTextCursor cursor(m_Memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(item->data().toString());
}
