#include "ui/job_lists.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tavro::ui {

int DialogUnitsToPx(const QFontMetrics& metrics, int units) {
    return (metrics.averageCharWidth() * units + 2) / 4;
}

OrganizerList::OrganizerList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!pressing_ && row >= 0) emit rowChosen(row);
    });
}

void OrganizerList::Show(const std::vector<std::string>& lines, int row) {
    QSignalBlocker block(this);
    bool same = count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < count(); ++i)
        same = item(i)->text() == QString::fromStdString(lines[static_cast<std::size_t>(i)]);
    if (!same) {
        clear();
        for (const auto& line : lines) addItem(QString::fromStdString(line));
        LinesChanged();
    }
    setCurrentRow(row);
    if (row < 0) clearSelection();
}

void OrganizerList::mousePressEvent(QMouseEvent* event) {
    pressing_ = true;
    QListWidget::mousePressEvent(event);
    pressing_ = false;
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) emit rowChosen(index.row());
}

SectionList::SectionList(QWidget* parent) : OrganizerList(parent) {
    setItemDelegate(new TabStopDelegate(this));
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    LinesChanged();
}

void SectionList::LinesChanged() {
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const QString text = item(i)->text();
        widest = std::max(widest, metrics.horizontalAdvance(text.left(text.indexOf('\t'))));
    }
    const int margin = DialogUnitsToPx(metrics, 1);
    tabStopPx_ =
        std::max(DialogUnitsToPx(metrics, 70), margin + widest + metrics.averageCharWidth());
}

void SectionList::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) LinesChanged();
    OrganizerList::changeEvent(event);
}

QStringList SectionList::mimeTypes() const { return {kSectionMimeType}; }

QMimeData* SectionList::mimeData(const QList<QListWidgetItem*>& items) const {
    if (items.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(kSectionMimeType, QByteArray::number(row(items.first())));
    return data;
}

JobList::JobList(QWidget* parent) : OrganizerList(parent) {
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void JobList::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasFormat(kSectionMimeType)) return event->ignore();
    setFocus(Qt::OtherFocusReason);
    event->acceptProposedAction();
}

void JobList::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(kSectionMimeType)) return event->ignore();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        QSignalBlocker block(this);
        setCurrentRow(index.row());
    }
    event->acceptProposedAction();
}

void JobList::dragLeaveEvent(QDragLeaveEvent* event) {
    event->accept();
    emit dragFinished();
}

void JobList::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(kSectionMimeType)) return event->ignore();
    event->acceptProposedAction();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit sectionDropped(index.row());
    else
        emit dragFinished();
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const qsizetype tab = text.indexOf('\t');
    const QString name = tab < 0 ? text : text.left(tab);
    const QString type = tab < 0 ? QString() : text.mid(tab + 1);
    const int margin = DialogUnitsToPx(opt.fontMetrics, 1);
    const int stop = list_->TabStopPx();
    const QPalette::ColorRole role =
        (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    const QPalette::ColorGroup group =
        (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setPen(opt.palette.color(group, role));
    painter->setFont(opt.font);
    painter->drawText(textRect.adjusted(margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
    painter->drawText(textRect.adjusted(stop, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, type);
    painter->restore();
}

}  // namespace tavro::ui
