// The navigation bar of the main window: groups of items on a vertical
// gradient, each item with an icon and a caption. Items of one set (those
// sharing a set number) have at most one mark; the marked item shows the
// icon shared by all current items.
#pragma once

#include <QKeySequence>
#include <QPixmap>
#include <QWidget>

#include <vector>

class QLabel;
class QVBoxLayout;

namespace lumora {

class TGroupItem : public QWidget {
    Q_OBJECT
public:
    // objectName is the item's language key; tag its number in its set (-1
    // for none); set the mark set it belongs to (-1 for none).
    TGroupItem(const QString &objectName, int tag, int set, int indent, const QPixmap &icon,
               QWidget *parent);

    int Tag() const { return tag_; }
    int Set() const { return set_; }
    bool Marked() const { return marked_; }
    void SetMarked(bool marked, const QPixmap &currentIcon = QPixmap());
    void SetCaption(const QString &caption);
    QString Caption() const { return caption_; }
    // The key that chooses the item, shown in its tooltip after the caption.
    void SetShortcut(const QKeySequence &keys);
    // An item that does nothing when chosen (a heading) shows no hover and
    // no pointing hand.
    void SetActive(bool active);
    bool Active() const { return active_; }

    // Presses the item as a click of the mouse does.
    void Click();

Q_SIGNALS:
    void Clicked(lumora::TGroupItem *item);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int tag_;
    int set_;
    int indent_;
    QPixmap ownIcon_;
    QPixmap shownIcon_;
    QString caption_;
    bool marked_ = false;
    bool hover_ = false;
    bool active_ = true;
    QKeySequence keys_;
};

// The contrast ratio of two colours (1 to 21), as readability guidelines
// measure it: 4.5 is the least for ordinary text.
double ContrastRatio(const QColor &a, const QColor &b);

// One titled group of items.
class TGroup : public QWidget {
    Q_OBJECT
public:
    TGroup(const QString &objectName, QWidget *parent);
    void SetCaption(const QString &caption);
    TGroupItem *AddItem(const QString &key, int tag, int set, int indent);
    const std::vector<TGroupItem *> &Items() const { return items_; }

private:
    QLabel *caption_;
    QVBoxLayout *layout_;
    std::vector<TGroupItem *> items_;
};

class TGroupBar : public QWidget {
    Q_OBJECT
public:
    explicit TGroupBar(QWidget *parent = nullptr);
    TGroup *AddGroup(const QString &objectName);
    // Clears the marks of the item's set (their own icons come back), then
    // marks the item with the shared current icon.
    void Mark(TGroupItem *item);
    // Clears the marks of one set.
    void ClearMarks(int set);
    TGroupItem *Item(const QString &key) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *layout_;
    std::vector<TGroup *> groups_;
    QPixmap currentIcon_;
};

} // namespace lumora
