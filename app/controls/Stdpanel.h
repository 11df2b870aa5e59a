// Stdpanel: the seat grid panel TBGPanel, its tile TStdChannel
// and the tile routines through which the main window changes what
// a tile shows.
//
// Everything here belongs to the user-interface thread, with one exception:
// AdvancePenState(tile, false) on a pen-up may be called from the receiver's
// reader thread (it writes an atomic word and queues a repaint).
#ifndef LUMORA_CONTROLS_STDPANEL_H
#define LUMORA_CONTROLS_STDPANEL_H

#include "config/SlotTable.h"
#include "controls/InkSheet.h"
#include "controls/TileImage.h"
#include "penlynx.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QVector>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <vector>

class QLabel;

namespace lumora {

class TPageBar;

// The size of every ink bitmap: the main window sets both before
// it creates the live handwriting view; tiles built in ink mode take them.
extern int InkWidth;
extern int InkHeight;

// Panel kinds.
inline constexpr int kSeatGrid = 0;   // seat grid: link picture, name, tablet ID
inline constexpr int kLiveGrid = 1;   // live handwriting view: ink panes
inline constexpr int kAnswerGrid = 2; // answer grid: name, tablet ID, answer letters

// Colours of the grid panel and its tiles.
inline const QColor kTileColour{0xA9, 0xC9, 0xEF};
inline const QColor kAnswerRight{0x00, 0x80, 0x00};
inline const QColor kAnswerWrong{0xFF, 0x00, 0x00};
inline const QColor kSelectedFrame{0xFF, 0xFF, 0x00};
inline const QColor kPageLabel{0x00, 0x00, 0xFF};
// An answer tile whose student has not answered yet.
inline const QColor kAwaitingTile{0xEE, 0xF1, 0xF5};
// How far a tile's texts and link picture grow with the tile.
inline constexpr double kMaxTextScale = 2.0;
inline constexpr double kMaxPictureScale = 2.0;

// A place of the live view's last page that no pane fills.
inline const QColor kEmptyPane{Qt::white};

class TStdChannel : public QWidget {
    Q_OBJECT
public:
    // Create(owner, ink mode).
    TStdChannel(QWidget *owner, bool inkMode);
    ~TStdChannel() override;

    uint16_t CardID() const { return m_cardID; }
    QString StudentName() const { return m_studentName; }
    QString AnswerText() const { return m_answerText; }
    bool InkMode() const { return m_inkMode; }
    int PenState() const { return m_penState.load(); }
    bool Selected() const { return m_selected; }
    void SetSelected(bool on);
    bool Zoomed() const { return m_zoomed; }
    void SetZoomed(bool on) { m_zoomed = on; }
    bool Shown() const { return m_shown.load(); }
    void SetShown(bool on) { m_shown.store(on); }
    // The tile's index in its panel.
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    QWidget *InnerPanel() const { return m_inner; }
    TTileImage *TileImage() const { return m_image; }
    QLabel *NameLabel() const { return m_name; }
    QLabel *IDLabel() const { return m_id; }
    QLabel *AnswerLabel() const { return m_answer; }
    // Beside the letters: a check for a right answer, a cross for a wrong
    // one, so the verdict reads without colour; empty without a key.
    QLabel *MarkLabel() const { return m_mark; }

    // The grey pixels of an ink tile's sheet (a null image until the student
    // first writes), or null for other tiles; the main window stores it in
    // the slot's InkCanvas. The pointer stays valid for the tile's life.
    QImage *InkImage() { return m_inkMode ? m_ink.GreyImage() : nullptr; }
    // The sheet's size: InkWidth x InkHeight for an ink tile, else empty.
    QSize InkSize() const { return m_ink.Size(); }
    // The handwriting as a 32-bit picture (white while nothing is written).
    QImage InkPicture() const { return m_ink.Picture(); }
    // Draws one pen point of the slot into the sheet (SDKDraw with the pen
    // state) and marks what changed for the next repaint.
    void DrawInk(int slot, QPoint point, int penState);
    // Makes the sheet white again (its memory is given back) and repaints it.
    void ClearInk();

    // Places the children for the tile's size. A seat or answer tile larger
    // than its base size gets texts, picture and answer letters that grow
    // with it (Scale() above 1).
    void ArrangeChildren();
    double Scale() const;
    // Whether the tile may grow past its base size (set by its panel).
    void SetGrows(bool on) { m_grows = on; }
    // Answer grid: the student has not answered yet (a paler tile).
    void SetAwaiting(bool awaiting);
    bool Awaiting() const { return m_awaiting; }
    // A student picked at random: a warm tile that the back row sees.
    void SetHighlighted(bool highlighted);
    bool Highlighted() const { return m_highlighted; }
    // Live view: the student wrote in the last seconds (a bar over the pane).
    void SetWriting(bool writing);
    bool Writing() const { return m_writing; }
    // Moves and sizes the tile, then arranges its children at once (a
    // widget that is not shown yet gets its resize event only later).
    void SetBounds(const QRect &bounds);
    // Where on the screen the tile (or a child) was last pressed.
    QPoint LastPressAt() const { return m_lastPress; }
    // Requests a repaint of the picture; from any thread (queued).
    void RequestImageRepaint();
    // The part of the ink bitmap that a drawing call changed (UI thread); the
    // next repaint request shows it.
    void InkChanged(const QRect &inkRect);

Q_SIGNALS:
    // Raised with the tile as sender when the tile or any of its children is
    // pressed or double-clicked; x and y are those of the control pressed.
    void OnMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                     int y);
    void OnDblClick(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend void SetStudentName(TStdChannel *, const QString &);
    friend void SetCardID(TStdChannel *, uint16_t);
    friend void SetAnswer(TStdChannel *, const QString &);
    friend void SetConcealedAnswer(TStdChannel *, bool);
    void PlaceMark();
    friend int AdvancePenState(TStdChannel *, bool);
    // Shows the label's text centred, ending in an ellipsis where the tile is
    // too narrow for it (the name's tooltip then holds it whole).
    void CentreLabel(QLabel *label);
    void ArrangeScaled(double scale);
    void RaiseMouse(QMouseEvent *event, bool doubleClick);

    uint16_t m_cardID = 0;
    QString m_idText; // m_cardID as IDLabel shows it
    QString m_studentName;
    TTileImage *m_image = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_id = nullptr;
    QLabel *m_answer = nullptr;
    QLabel *m_mark = nullptr;
    QWidget *m_inner = nullptr;
    bool m_selected = false;
    bool m_zoomed = false;
    const bool m_inkMode;
    std::atomic<int32_t> m_penState{0};
    QString m_answerText;
    std::atomic<bool> m_shown{false};
    // Repaints of the ink: at most one flush queued, at most one per frame.
    static constexpr qint64 kFrameMs = 16;
    void FlushInk();
    std::atomic<bool> m_flushQueued{false};
    QRect m_dirtyInk;
    QElapsedTimer m_lastFlush;
    int m_tag = 0;
    bool m_scaled = false;
    double m_fontScale = 0; // the scale the label fonts were made for
    bool m_grows = false;
    bool m_awaiting = false;
    bool m_highlighted = false;
    void ApplyTileColour();
    bool m_writing = false;
    QPoint m_lastPress;
    TInkSheet m_ink;
};

// ---- tile routines -------------------------------------------------------
// StudentName := text, shown by NameLabel, which is centred again.
void SetStudentName(TStdChannel *tile, const QString &text);
// CardID := id, shown by IDLabel as "(%.4d)", which is centred again.
void SetCardID(TStdChannel *tile, uint16_t id);
// AnswerText := text on AnswerLabel, green (008000) when it equals AnswerKey
// exactly, red (FF0000) otherwise; centred again.
void SetAnswer(TStdChannel *tile, const QString &text);
// While answers are hidden: only whether the student has answered, a
// neutral dot without letters, colour or mark.
void SetConcealedAnswer(TStdChannel *tile, bool answered);
// Seat grid tiles only (kind 0): the Connet picture when linked, DisCon when
// not; the two pictures are loaded once.
void SetLinkPicture(TStdChannel *tile, bool linked, int kind);
// Text colour of NameLabel and IDLabel (not AnswerLabel).
void SetLabelColor(TStdChannel *tile, const QColor &colour);
// Requests a repaint of the picture when the tile is Shown, then: pen up
// (down false): PenState 0; pen down: PenState 1 when it was 0, else 2.
// Returns the new PenState. Safe on any thread for a pen-up; the repaint is
// queued to the user-interface thread.
int AdvancePenState(TStdChannel *tile, bool down);

// ---- the panel -----------------------------------------------------------
class TBGPanel : public QWidget {
    Q_OBJECT
public:
    // Create(kind, slot table): builds one tile per entry 0 .. Count - 1. The
    // table is read here only; the panel keeps no reference to it.
    TBGPanel(int kind, const SlotTable &table, QWidget *parent = nullptr);
    ~TBGPanel() override;

    // Discards every tile and builds them again.
    void Reload(const SlotTable &table, int kind);
    // The tile at index, or null for an index outside 0..255 or the tiles.
    TStdChannel *GetTile(int index) const;
    void SelectTile(int index);
    void LayoutGrid(int columns, int start, int rows);
    // Kinds 0 and 2, set by the main window: tiles grow with the room the grid
    // has (SetFitTiles), and students that one layout cannot show go on
    // further pages, with a page strip at the bottom (SetPaged). Both off:
    // every tile keeps its base size and tiles past columns x rows stay hidden.
    void SetFitTiles(bool on);
    void SetPaged(bool on) { m_paged = on; }
    // Pages of the last LayoutGrid (1 when everything fits) and the one shown.
    int GridPages() const { return m_gridPages; }
    int GridPage() const { return m_gridPage; }
    // Shows another page of the grid (nothing outside 0 .. GridPages() - 1).
    void SetGridPage(int page);
    // The page that shows tile index, or -1.
    int GridPageOf(int index) const;
    TPageBar *PageBar() const { return m_pageBar; }
    // The page strip's texts in the current language.
    void UpdateTexts();
    void LayoutPanes(int paneCount, int start);
    // Kind 1 only: one ink bitmap (index) or all of them (-1) white.
    void ClearInk(int index);
    // Kind 2 only: every tile's answer text empty.
    void ClearAnswers();

    const QVector<TStdChannel *> &Tiles() const { return m_tiles; }
    int TileCount() const { return m_tileCount; }
    int TileWidth() const { return m_tileWidth; }
    int TileHeight() const { return m_tileHeight; }
    int Kind() const { return m_kind; }
    int SelectedIndex() const { return m_selectedIndex; }
    int PageStart() const { return m_pageStart; }
    int PaneCount() const { return m_paneCount; }

Q_SIGNALS:
    // Sender: the tile pressed (or whose child was pressed), or the panel
    // itself for a press on its background.
    void OnMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                     int y);
    void OnDblClick(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void Build(const SlotTable &table, int kind);
    void FreeTiles();

    QVector<TStdChannel *> m_tiles;
    int m_tileCount = 0;
    int m_tileWidth = 0;
    int m_tileHeight = 0;
    int m_kind = kSeatGrid;
    int m_selectedIndex = -1;
    int m_pageStart = 0;
    int m_paneCount = 0;
    std::vector<QRect> emptyPlaces_;
    bool m_fitTiles = false;
    bool m_paged = false;
    int m_gridColumns = 0;
    int m_gridStart = 0;
    int m_gridRows = 0;
    int m_gridPage = 0;
    int m_gridPages = 1;
    int m_gridPerPage = 0;
    TPageBar *m_pageBar = nullptr;
};

} // namespace lumora

#endif // LUMORA_CONTROLS_STDPANEL_H
