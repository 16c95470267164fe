#include "pages/fieldpage.h"

#include "core/pagetable.h"
#include "pages/characterboxbinder.h"
#include "pages/charactereditbinder.h"
#include "pages/defaultmark.h"
#include "pages/numberboxbinder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>

#include <algorithm>

namespace {

void ShowCaption(const FieldSpec &row, QCheckBox *box)
{
    box->setText(Text(row.caption));
}

void ListOptionNames(const FieldSpec &row, QComboBox *box)
{
    for (const auto &option : row.options)
        box->addItem(Text(option.caption));
}

// The list offers the common counts; larger ones up to the row's maximum are typed.
void ListCounts(const FieldSpec &, QComboBox *box)
{
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int n = 0; n <= 9; ++n)
        box->addItem(QString::number(n));
}

} // namespace

FieldPage::FieldPage(int type, ParameterImages &images, QWidget *parent)
    : QWidget(parent), m_page(PageInTable(type).window), m_images(images)
{
    setObjectName(Text(m_page));
    setWindowTitle(Text(PageInTable(type).title));
}

void FieldPage::RestoreDefaults(const char *button)
{
    ForEachBinder(FieldsRestoredBy(m_page, button),
                  [](FieldBinder *binder) { binder->RestoreDefault(); });
}

void FieldPage::Refresh()
{
    ForEachBinder(FieldsOfPage(m_page), [](FieldBinder *binder) { binder->Refresh(); });
    MarkDefaults();
}

void FieldPage::MarkDefaults()
{
    for (auto it = m_marked.cbegin(); it != m_marked.cend(); ++it) {
        const QString toolTip = DefaultToolTip(it.key()->Rows(), m_images);
        for (QWidget *control : it.value())
            MarkDifference(control, toolTip);
    }
}

QTabWidget *FieldPage::AddTabStrip(const char *name)
{
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(Text(name));
    // Every tab caption stays readable: the page is as wide as its tab strip.
    tabs->setUsesScrollButtons(false);
    return tabs;
}

void FieldPage::AddTab(QTabWidget *tabs, QWidget *frame, const char *caption, const char *toolTip)
{
    const int index = tabs->addTab(frame, Text(caption));
    tabs->setTabToolTip(index, Text(toolTip));
}

QGroupBox *FieldPage::AddChoiceFrame(const char *control, const char *frameName, QWidget *parent)
{
    const FieldSpec &row = Row(control);
    const ChoiceFrame built = BuildChoiceFrame(row, frameName, parent, m_images);
    Bind(row, built.binder, built.frame);
    return built.frame;
}

ChoiceFrame FieldPage::AddChoiceButtons(const char *control, QWidget *parent, QBoxLayout *layout)
{
    const FieldSpec &row = Row(control);
    const ChoiceFrame built = BuildChoiceButtons(row, parent, layout, m_images);
    for (QAbstractButton *button : built.group->buttons())
        Bind(row, built.binder, button);
    return built;
}

template <typename Binder, typename Widget>
Widget *FieldPage::AddControl(const char *control, QWidget *parent,
                              void (*setUp)(const FieldSpec &row, Widget *widget))
{
    const FieldSpec &row = Row(control);
    auto *widget = new Widget(parent);
    widget->setObjectName(Text(row.control));
    // A screen reader names the control by its field: a box shows no caption of its own, and
    // a check box may show only "ON" beside a label.
    widget->setAccessibleName(Text(row.caption));
    if (setUp)
        setUp(row, widget);
    Bind(row, new Binder(row, widget, m_images, parent), widget);
    return widget;
}

QCheckBox *FieldPage::AddFlagBox(const char *control, QWidget *parent)
{
    return AddControl<OptionBinder>(control, parent, ShowCaption);
}

QComboBox *FieldPage::AddCharacterBox(const char *control, QWidget *parent)
{
    return AddControl<CharacterBoxBinder>(control, parent, ListOptionNames);
}

QLineEdit *FieldPage::AddCharacterEdit(const char *control, QWidget *parent)
{
    return AddControl<CharacterEditBinder, QLineEdit>(control, parent);
}

QComboBox *FieldPage::AddNumberBox(const char *control, QWidget *parent)
{
    return AddControl<NumberBoxBinder>(control, parent, ListCounts);
}

QGroupBox *FieldPage::AddKeyTextFrame(const char *control, const KeyTextNames &names,
                                      const QStringList &selectorCaptions, QWidget *parent)
{
    const FieldSpec &first = Row(control);
    std::vector<const FieldSpec *> rows;
    for (const FieldSpec *row : FieldsOfPage(m_page)) {
        if (row->kind == FieldKind::KeyText && std::string_view(row->control) == control)
            rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const FieldSpec *a, const FieldSpec *b) {
        return a->selectorIndex < b->selectorIndex;
    });
    const KeyTextFrame built = BuildKeyTextFrame(rows, names, selectorCaptions, m_images, parent);
    Bind(first, built.binder, built.frame);
    return built.frame;
}

QPushButton *FieldPage::AddDefaultButton(const char *name, QWidget *parent, const char *caption)
{
    auto *button = new QPushButton(Text(caption), parent);
    button->setObjectName(Text(name));
    connect(button, &QPushButton::clicked, this, [this, name] { RestoreDefaults(name); });
    return button;
}

void FieldPage::AddDependent(const char *control, QWidget *widget)
{
    m_controls.insert(Text(control), widget);
}

void FieldPage::LoadAll()
{
    // A group box inside another would be announced by the outer one's title.
    for (QGroupBox *group : findChildren<QGroupBox *>())
        group->setAccessibleName(group->title().remove(QLatin1Char('&')));
    ConnectDependencies();
    ForEachBinder(FieldsOfPage(m_page), [](FieldBinder *binder) { binder->Load(); });
    MarkDefaults();
}

const FieldSpec &FieldPage::Row(const char *control) const
{
    const FieldSpec *row = FindControl(m_page, control);
    if (!row)
        qFatal("page %s has no catalogue row for control %s", m_page, control);
    return *row;
}

QByteArray FieldPage::ArrayElement(const char *control, int index)
{
    return QByteArray(control) + '_' + QByteArray::number(index);
}

void FieldPage::Bind(const FieldSpec &row, FieldBinder *binder, QWidget *control)
{
    m_binders.insert(Text(row.control), binder);
    m_controls.insert(Text(row.control), control);
    if (!m_marked.contains(binder)) {
        connect(binder, &FieldBinder::Edited, this, [this](const QString &typedField) {
            MarkDefaults();
            Q_EMIT Edited(typedField);
        });
    }
    m_marked[binder].append(control);
    QList<QLineEdit *> boxes = control->findChildren<QLineEdit *>();
    if (auto *box = qobject_cast<QLineEdit *>(control))
        boxes.append(box);
    for (QLineEdit *box : boxes)
        box->installEventFilter(this);
}

bool FieldPage::eventFilter(QObject *watched, QEvent *event)
{
    // A text box would undo its own typing; the history undoes the image, this box's typing
    // included, and the page then shows what it holds. The keys reach the window's Undo and
    // Redo; where they are off (nothing to undo), the box does not get them either, or it
    // would bring back typing the history no longer holds.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FieldPage::ForEachBinder(const std::vector<const FieldSpec *> &rows,
                              const std::function<void(FieldBinder *)> &act) const
{
    // The rows of one box (a prefix per track) share their binder.
    QSet<FieldBinder *> done;
    for (const FieldSpec *row : rows) {
        FieldBinder *binder = m_binders.value(Text(row->control));
        if (binder && !done.contains(binder)) {
            done.insert(binder);
            act(binder);
        }
    }
}

void FieldPage::ConnectDependencies()
{
    for (const FieldSpec *row : FieldsOfPage(m_page)) {
        if (*row->disabledBy == '\0')
            continue;
        auto *switcher = BinderOf<OptionBinder>(row->disabledBy);
        if (!switcher)
            continue;
        const QList<QWidget *> widgets = m_controls.values(Text(row->control));
        const int code = row->disabledByCode;
        connect(switcher, &OptionBinder::Shown, this, [widgets, switcher, code](int index) {
            const auto &options = switcher->Field().options;
            const bool off = index >= 0 && index < static_cast<int>(options.size()) &&
                             options[static_cast<std::size_t>(index)].code == code;
            for (QWidget *widget : widgets)
                widget->setEnabled(!off);
        });
    }
}
