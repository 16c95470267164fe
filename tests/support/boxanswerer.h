#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <memory>

// Answers the message boxes a command shows, one after the other, as a user would: it waits
// for the next modal box, records its title, text and buttons, and clicks the given button.
// A box that appears when no answer is left stays open (the test then times out).
class BoxAnswerer : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QString informativeText;
        QIcon windowIcon;
    };

    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers) : m_answers(std::move(answers))
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::Poll);
        m_timer.start(5);
    }

    const QList<Seen> &seen() const { return m_seen; }
    QStringList texts() const
    {
        QStringList all;
        for (const Seen &box : m_seen)
            all << box.text;
        return all;
    }
    bool allAnswered() const { return m_answers.isEmpty(); }

private:
    void Poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == m_last || m_answers.isEmpty())
            return;
        m_last = box;
        Seen seen{box->windowTitle(),
                  box->text(),
                  box->icon(),
                  box->standardButtons(),
                  box->standardButton(box->defaultButton()),
                  box->informativeText(),
                  box->windowIcon()};
        m_seen.append(seen);
        QAbstractButton *button = box->button(m_answers.takeFirst());
        if (button)
            button->click();
        else
            box->reject();
    }

    QList<QMessageBox::StandardButton> m_answers;
    QList<Seen> m_seen;
    QPointer<QMessageBox> m_last;
    QTimer m_timer;
};
