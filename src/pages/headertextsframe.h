#pragma once

#include "core/appstate.h"

#include <QWidget>

class QLineEdit;

// The four header texts of a configuration (device name, user name, building date,
// description) as the user-information tab of both interface pages shows them. The boxes
// show the texts as they are when the frame is created and write every change back at once,
// so the other interface page shows it the next time it opens.
//
// Text boxes: txtDeviceName, txtUserName, txtDate, txtDescription.
class HeaderTextsFrame : public QWidget
{
    Q_OBJECT
public:
    explicit HeaderTextsFrame(HeaderTexts &texts, QWidget *parent = nullptr);

    QLineEdit *DeviceNameBox() const { return m_deviceName; }
    QLineEdit *UserNameBox() const { return m_userName; }
    QLineEdit *DateBox() const { return m_date; }
    QLineEdit *DescriptionBox() const { return m_description; }

private:
    QLineEdit *AddRow(int row, const QString &label, const char *name, QString &text);

    HeaderTexts &m_texts;
    QLineEdit *m_deviceName = nullptr;
    QLineEdit *m_userName = nullptr;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_description = nullptr;
};
