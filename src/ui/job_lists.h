// The two lists of the startup window: sections can be dragged from the section list and
// dropped on a job of the job list; section lines keep their type names in one column.
#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>

namespace tavro::ui {

// MIME type of a dragged section: its 0-based row in the section list.
inline constexpr const char* kSectionMimeType = "application/x-tavro-section";

// Both lists report mouse presses as rowPressed (every press, also on the row already
// current) and keyboard moves as rowChosen, so that one click acts once.
class OrganizerList : public QListWidget {
    Q_OBJECT
public:
    explicit OrganizerList(QWidget* parent = nullptr);
    // Replaces the lines (when they differ) and the current row, without signals.
    void Show(const std::vector<std::string>& lines, int row);

signals:
    void rowChosen(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    virtual void LinesChanged() {}

private:
    bool pressing_ = false;
};

// Section lines are "name<TAB>type": the type starts at a tab stop 70 dialog units in,
// or further when a name in wide characters would not fit before it, so the types always
// line up and no name is cut.
class SectionList : public OrganizerList {
    Q_OBJECT
public:
    explicit SectionList(QWidget* parent = nullptr);
    // Horizontal position of the type column in pixels, from the start of the text.
    int TabStopPx() const { return tabStopPx_; }

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void LinesChanged() override;
    void changeEvent(QEvent* event) override;

private:
    int tabStopPx_ = 0;
};

// Accepts dropped sections; the entry under the pointer is highlighted while dragging.
class JobList : public OrganizerList {
    Q_OBJECT
public:
    explicit JobList(QWidget* parent = nullptr);

signals:
    void sectionDropped(int jobRow);
    void dragFinished();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class TabStopDelegate : public QStyledItemDelegate {
public:
    explicit TabStopDelegate(SectionList* list) : QStyledItemDelegate(list), list_(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const SectionList* list_;
};

// Horizontal dialog units to pixels for a font: a dialog unit is a quarter of the
// average character width.
int DialogUnitsToPx(const QFontMetrics& metrics, int units);

}  // namespace tavro::ui
