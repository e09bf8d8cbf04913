#pragma once
// An atlas frame of the main window, built the first time it is needed (its page shown, or the
// frame asked for) rather than with the window. A start shows the start page; building the six
// frames no one sees yet took about a third of building the window. Until then its page is empty,
// and hidden, as every page but the current one is: what a user or a screen reader can reach does
// not change.
#include <QBoxLayout>
#include <QString>
#include <QWidget>

template <typename TFrame>
class TLazyFrame {
public:
    // The frame goes into layout, its page's, under the name name.
    void Place(QBoxLayout *layout, const QString &name)
    {
        m_layout = layout;
        m_name = name;
    }

    bool Built() const { return m_frame != nullptr; }

    TFrame *Get()
    {
        if (!m_frame) {
            QWidget *page = m_layout->parentWidget();
            m_frame = new TFrame(page); // owned by its page
            m_frame->setObjectName(m_name);
            m_layout->addWidget(m_frame);
            // Placed at once, as if it had been there all along, also on a page already shown.
            m_layout->activate();
            if (page->isVisible())
                m_frame->show();
        }
        return m_frame;
    }
    TFrame *operator->() { return Get(); }
    operator TFrame *() { return Get(); }

private:
    QBoxLayout *m_layout = nullptr;
    QString m_name;
    TFrame *m_frame = nullptr;
};
