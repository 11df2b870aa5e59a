#include "controls/Stdpanel.h"

#include "controls/PageBar.h"
#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"
#include "core/GridLayout.h"
#include "core/Helpers.h"
#include "session/Question.h"

#include <QFontInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace lumora {

int InkWidth = 0;
int InkHeight = 0;

// ---- TStdChannel --------------------------------------------------------------------

TStdChannel::TStdChannel(QWidget *owner, bool inkMode)
    : QWidget(owner), m_inkMode(inkMode),
      m_ink(inkMode ? QSize(std::max(InkWidth, 0), std::max(InkHeight, 0)) : QSize()) {
    // 1. a plain panel in the tile colour
    const QColor back = inkMode ? QColor(Qt::white) : kTileColour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, back);
    setPalette(pal);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // 2. the inner panel, 1 pixel in on every side
    m_inner = new QWidget(this);
    m_inner->setObjectName(QStringLiteral("InnerPanel"));
    m_inner->setAutoFillBackground(true);
    m_inner->setGeometry(1, 1, width() - 2, height() - 2);
    // 3. the picture
    m_image = new TTileImage(m_inner);
    m_image->setObjectName(QStringLiteral("TileImage"));
    if (inkMode) {
        // The sheet's pixels are made when the student first writes.
        m_image->SetInk(&m_ink);
        m_image->setGeometry(0, 0, std::max(InkWidth, 0), std::max(InkHeight, 0));
    } else {
        m_image->move(0, -3);
    }
    // 4. the three labels; the answer label hidden
    auto makeLabel = [this](const char *name) {
        auto *label = new QLabel(m_inner);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->move(0, 0);
        return label;
    };
    m_name = makeLabel("NameLabel");
    m_id = makeLabel("IDLabel");
    m_answer = makeLabel("AnswerLabel");
    m_answer->hide();
    m_mark = makeLabel("MarkLabel");
    m_mark->hide();
    // The picture lies behind the labels here (the original put it in front):
    // a name must never be cut by the bottom rows of the link picture.
    m_image->lower();
    // 5. every press and double-click of a child is the tile's own
    for (QWidget *child : {m_inner, static_cast<QWidget *>(m_image), static_cast<QWidget *>(m_name),
                           static_cast<QWidget *>(m_id), static_cast<QWidget *>(m_answer),
                           static_cast<QWidget *>(m_mark)})
        child->installEventFilter(this);
    ArrangeChildren();
}

TStdChannel::~TStdChannel() = default;

void TStdChannel::SetSelected(bool on) {
    m_selected = on;
    update();
}

namespace {
QSize TileBaseSize(int kind) {
    return kind == kAnswerGrid ? QSize(80, 60) : QSize(80, 69);
}
} // namespace

double TStdChannel::Scale() const {
    if (m_inkMode || !m_grows)
        return 1;
    const QSize base = TileBaseSize(m_answer->isHidden() ? kSeatGrid : kAnswerGrid);
    return TileScale(size(), base);
}

void TStdChannel::ArrangeChildren() {
    const int W = width(), H = height();
    m_inner->setGeometry(1, 1, W - 2, H - 2);
    const double scale = Scale();
    if ((scale > 1 || m_scaled) && scale != m_fontScale) {
        // Fonts follow the tile's size; back at the base size they are the
        // window's again.
        m_fontScale = scale;
        m_scaled = scale > 1;
        const double text = std::min(scale, kMaxTextScale);
        QFont label = font();
        label.setPixelSize(static_cast<int>(std::lround(12 * text)));
        m_name->setFont(label);
        m_id->setFont(label);
        m_image->SetScale(std::min(scale, kMaxPictureScale));
        if (!m_scaled)
            m_answer->setFont(label);
        for (QLabel *l : {m_name, m_id})
            l->resize(l->width(), l->fontMetrics().height());
    }
    if (m_scaled) {
        ArrangeScaled(scale);
        return;
    }
    if (!m_answer->isHidden()) {
        m_image->move((W - m_image->width()) / 2, m_image->y());
        m_answer->move(m_answer->x(), H - 18);
        m_name->move(m_name->x(), H - 52);
        m_id->move(m_id->x(), H - 36);
    } else {
        // These tops count 12-pixel lines with the baseline 10 pixels down; a
        // font with a deeper baseline would put the ID's last rows below the
        // tile's edge, so both lines move up by the difference.
        const int lift = std::max(0, m_id->fontMetrics().ascent() - 10);
        m_id->move(m_id->x(), H - 14 - lift);
        m_name->move(m_name->x(), H - 28 - lift);
        if (m_inkMode)
            m_image->setGeometry(0, 0, std::max(W - 2, 0), std::max(H - 32, 0));
        else
            m_image->move((W - m_image->width()) / 2, m_image->y());
    }
    // What fits on a label depends on the tile's width.
    for (QLabel *label : {m_name, m_id, m_answer})
        CentreLabel(label);
}

void TStdChannel::ArrangeScaled(double scale) {
    const int W = width(), H = height();
    const int inner = H - 2;
    const int nameH = m_name->fontMetrics().height();
    const int idH = m_id->fontMetrics().height();
    const int pad = static_cast<int>(std::lround(3 * scale));
    if (!m_answer->isHidden()) {
        // Name and ID at the top, the letters as large as the rest allows.
        m_name->move(m_name->x(), pad);
        m_id->move(m_id->x(), pad + nameH);
        const int top = pad + nameH + idH;
        const int room = std::max(inner - top - pad, 12);
        QFont letters = font();
        letters.setBold(true);
        letters.setPixelSize(std::clamp(room, 12, 240));
        // The line (not only the glyphs) within the room, and eight letters
        // across the tile.
        const int line = QFontMetrics(letters).height();
        if (line > room)
            letters.setPixelSize(std::max(12, letters.pixelSize() * room / line));
        const int across = QFontMetrics(letters).horizontalAdvance(m_answerText);
        if (across > W - 2 * pad)
            letters.setPixelSize(std::max(12, letters.pixelSize() * (W - 2 * pad) / across));
        // An answer arrives often; the font changes only with the tile.
        if (m_answer->font() != letters)
            m_answer->setFont(letters);
        m_answer->move(m_answer->x(), top + (room - QFontMetrics(letters).height()) / 2);
    } else {
        // Seat: the link picture above the name and the ID.
        m_id->move(m_id->x(), inner - idH - pad / 2);
        m_name->move(m_name->x(), m_id->y() - nameH);
        // The picture grows as far as the room above the name allows.
        const QSizeF picture = m_image->Picture().isNull()
                                   ? QSizeF(48, 48)
                                   : m_image->Picture().deviceIndependentSize();
        const double room = double(m_name->y()) / picture.height();
        m_image->SetScale(std::clamp(room, 1.0, std::min(scale, kMaxPictureScale)));
        m_image->move((W - 2 - m_image->width()) / 2,
                      std::max(0, (m_name->y() - m_image->height()) / 2));
    }
    CentreLabel(m_name);
    CentreLabel(m_id);
    CentreLabel(m_answer);
}

void TStdChannel::SetBounds(const QRect &bounds) {
    setGeometry(bounds);
    ArrangeChildren();
}

void TStdChannel::CentreLabel(QLabel *label) {
    const QString &full = label == m_name ? m_studentName : label == m_id ? m_idText : m_answerText;
    const QFontMetrics fm = label->fontMetrics();
    // At the base size the label is as wide as the centring counts it (the
    // font may draw some characters narrower).
    const auto measure = [&](const QString &text) {
        const int drawn = fm.horizontalAdvance(text);
        return m_scaled ? drawn : std::max(drawn, LabelTextWidth(text));
    };
    // A pixel clear of the inner panel on each side; what does not fit ends
    // in an ellipsis, and the tile's tooltip holds the name whole.
    const int room = std::max(width() - 4, 0);
    QString shown = full;
    int w = measure(full);
    if (w > room) {
        shown = fm.elidedText(full, Qt::ElideRight, room);
        w = fm.horizontalAdvance(shown);
    }
    if (label->text() != shown)
        label->setText(shown);
    if (label == m_name) {
        const QString tip = shown == full ? QString() : full;
        if (toolTip() != tip)
            setToolTip(tip);
    }
    // Grown tiles centre on the inner panel, base-size ones on the tile.
    const int inner = std::max(width() - 2, 0);
    const int left = m_scaled ? (inner - w) / 2 : (width() - w) / 2;
    label->setGeometry(std::clamp(left, 0, std::max(inner - w, 0)), label->y(), w, fm.height());
    if (label == m_answer)
        PlaceMark();
}

void TStdChannel::PlaceMark() {
    const bool shown = !m_answer->isHidden() && !m_mark->text().isEmpty();
    m_mark->setVisible(shown);
    if (!shown)
        return;
    // Two thirds of the letters' size, at their right, inside the tile.
    QFont font = m_answer->font();
    font.setPixelSize(std::max(12, QFontInfo(m_answer->font()).pixelSize() * 2 / 3));
    font.setBold(true);
    if (m_mark->font() != font)
        m_mark->setFont(font);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(m_mark->text()) + 2;
    const int x = std::min(m_answer->geometry().right() + 3, std::max(m_inner->width() - w, 0));
    m_mark->setGeometry(x, m_answer->y(), w, fm.height());
    m_mark->raise();
}

void TStdChannel::SetAwaiting(bool awaiting) {
    if (m_awaiting == awaiting)
        return;
    m_awaiting = awaiting;
    ApplyTileColour();
}

void TStdChannel::SetHighlighted(bool highlighted) {
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    ApplyTileColour();
}

void TStdChannel::ApplyTileColour() {
    static const QColor kPicked(255, 214, 102);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_highlighted ? kPicked
                                   : m_awaiting  ? kAwaitingTile
                                                 : kTileColour);
    setPalette(pal);
    m_inner->setPalette(pal);
    update();
}

void TStdChannel::SetWriting(bool writing) {
    if (m_writing == writing)
        return;
    m_writing = writing;
    m_image->SetMarked(writing);
}

void TStdChannel::RequestImageRepaint() {
    // Any thread: one flush is queued at a time, so a stream of points gives
    // one repaint per frame. The picture is the context: a call queued for a
    // tile freed meanwhile is dropped with it.
    if (m_flushQueued.exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_image, [this] { FlushInk(); }, Qt::QueuedConnection);
}

void TStdChannel::InkChanged(const QRect &inkRect) {
    m_dirtyInk |= inkRect;
}

void TStdChannel::FlushInk() {
    // No faster than the display shows frames: the rest waits for the next.
    const qint64 sinceLast = m_lastFlush.isValid() ? m_lastFlush.elapsed() : kFrameMs;
    if (sinceLast < kFrameMs) {
        QTimer::singleShot(int(kFrameMs - sinceLast), m_image, [this] { FlushInk(); });
        return;
    }
    m_flushQueued.store(false);
    m_lastFlush.start();
    const QRect sheet = m_image->SheetRect();
    if (m_dirtyInk.isEmpty() || sheet.isEmpty()) {
        m_image->update();
        return;
    }
    // The changed ink in the picture's pixels, with a margin for the
    // smoothing of the scaling.
    const qreal sx = qreal(sheet.width()) / m_ink.Size().width();
    const qreal sy = qreal(sheet.height()) / m_ink.Size().height();
    const QRect changed = QRectF(sheet.x() + m_dirtyInk.x() * sx, sheet.y() + m_dirtyInk.y() * sy,
                                 m_dirtyInk.width() * sx, m_dirtyInk.height() * sy)
                              .toAlignedRect()
                              .adjusted(-2, -2, 2, 2);
    m_dirtyInk = QRect();
    m_image->update(changed);
}

void TStdChannel::DrawInk(int slot, QPoint point, int penState) {
    if (!m_inkMode)
        return;
    InkChanged(m_ink.Draw(slot, point.x(), point.y(), penState));
}

void TStdChannel::ClearInk() {
    if (!m_inkMode)
        return;
    m_ink.Clear();
    m_dirtyInk = QRect();
    m_image->update();
}

void TStdChannel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (m_selected) {
        // A 2-pixel pen over the whole client area: the 1-pixel margin around
        // the inner panel shows it as a thin frame.
        p.setPen(QPen(m_inkMode ? QColor(Qt::black) : kSelectedFrame, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0, 0, width(), height()));
    }
}

void TStdChannel::resizeEvent(QResizeEvent *event) {
    ArrangeChildren();
    QWidget::resizeEvent(event);
}

void TStdChannel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange)
        m_fontScale = 0; // the labels' fonts derive from the tile's
    // A panel is built before it gets its parent: when the window's font
    // arrives, the labels take its height (their left edges stay counted).
    if (event->type() == QEvent::FontChange) {
        for (QLabel *label : {m_name, m_id, m_answer})
            CentreLabel(label);
    }
    QWidget::changeEvent(event);
}

void TStdChannel::RaiseMouse(QMouseEvent *event, bool doubleClick) {
    const QPoint pos = event->position().toPoint();
    m_lastPress = event->globalPosition().toPoint();
    QPointer<TStdChannel> self(this);
    if (doubleClick) {
        // As the original: the double-click, then the press that came with it.
        Q_EMIT OnDblClick(this);
        if (!self)
            return;
    }
    Q_EMIT OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TStdChannel::mousePressEvent(QMouseEvent *event) {
    RaiseMouse(event, false);
    event->accept();
}

void TStdChannel::mouseDoubleClickEvent(QMouseEvent *event) {
    RaiseMouse(event, true);
    event->accept();
}

bool TStdChannel::eventFilter(QObject *, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) {
        RaiseMouse(static_cast<QMouseEvent *>(event), false);
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        RaiseMouse(static_cast<QMouseEvent *>(event), true);
        return true;
    }
    return false;
}

// ---- tile routines ---------------------------------------------------------------------

void SetStudentName(TStdChannel *tile, const QString &text) {
    if (!tile)
        return;
    tile->m_studentName = text;
    tile->CentreLabel(tile->m_name);
}

void SetCardID(TStdChannel *tile, uint16_t id) {
    if (!tile)
        return;
    tile->m_cardID = id;
    tile->m_idText = QStringLiteral("(%1)").arg(id, 4, 10, QLatin1Char('0'));
    tile->CentreLabel(tile->m_id);
}

void SetAnswer(TStdChannel *tile, const QString &text) {
    if (!tile)
        return;
    tile->m_answerText = text;
    if (!tile->m_answer->isHidden())
        tile->SetAwaiting(text.isEmpty());
    QPalette pal = tile->m_answer->palette();
    pal.setColor(QPalette::WindowText,
                 LettersMatchKey(text, AnswerKey) ? kAnswerRight : kAnswerWrong);
    tile->m_answer->setPalette(pal);
    tile->m_mark->setPalette(pal);
    tile->m_mark->setText(text.isEmpty() || AnswerKey.isEmpty() ? QString()
                          : LettersMatchKey(text, AnswerKey)    ? QStringLiteral("\u2713")
                                                                : QStringLiteral("\u2717"));
    if (tile->m_scaled)
        tile->ArrangeChildren(); // the letters' size follows how many there are
    else
        tile->CentreLabel(tile->m_answer);
}

void SetConcealedAnswer(TStdChannel *tile, bool answered) {
    if (!tile)
        return;
    tile->m_answerText = answered ? QStringLiteral("\u25CF") : QString();
    if (!tile->m_answer->isHidden())
        tile->SetAwaiting(!answered);
    QPalette pal = tile->m_answer->palette();
    pal.setColor(QPalette::WindowText, QColor(0x5b, 0x6b, 0x7b));
    tile->m_answer->setPalette(pal);
    tile->m_mark->setText(QString());
    if (tile->m_scaled)
        tile->ArrangeChildren();
    else
        tile->CentreLabel(tile->m_answer);
}

static const QImage &LinkImage(bool linked) {
    // Loaded once, on first use, and shared by every tile.
    static const QImage connet = SkinImage(QStringLiteral("Connet"));
    static const QImage discon = SkinImage(QStringLiteral("DisCon"));
    return linked ? connet : discon;
}

void SetLinkPicture(TStdChannel *tile, bool linked, int kind) {
    if (!tile || kind != kSeatGrid)
        return;
    tile->TileImage()->SetPicture(LinkImage(linked));
}

void SetLabelColor(TStdChannel *tile, const QColor &colour) {
    if (!tile)
        return;
    for (QLabel *label : {tile->NameLabel(), tile->IDLabel()}) {
        QPalette pal = label->palette();
        if (pal.color(QPalette::WindowText) == colour && label->testAttribute(Qt::WA_SetPalette))
            continue;
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
    }
}

int AdvancePenState(TStdChannel *tile, bool down) {
    if (!tile)
        return 0;
    // 1. ink drawn into the bitmap becomes visible
    if (tile->m_shown.load())
        tile->RequestImageRepaint();
    // 2. pen up
    if (!down) {
        tile->m_penState.store(0);
        return 0;
    }
    // 3. pen down: a pen-up stored in between makes this point start a stroke
    int32_t old = tile->m_penState.load();
    int32_t next;
    do {
        next = old == 0 ? 1 : 2;
    } while (!tile->m_penState.compare_exchange_weak(old, next));
    return next;
}

// ---- TBGPanel -------------------------------------------------------------------------

TBGPanel::TBGPanel(int kind, const SlotTable &table, QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    Build(table, kind);
}

TBGPanel::~TBGPanel() = default; // the tiles are children

void TBGPanel::FreeTiles() {
    for (TStdChannel *tile : m_tiles) {
        tile->disconnect(this);
        tile->hide();
        // A tile may be the sender of the event that rebuilds the panel.
        tile->deleteLater();
    }
    m_tiles.clear();
}

void TBGPanel::Build(const SlotTable &table, int kind) {
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    m_tiles.reserve(count);
    m_tileCount = count;
    m_kind = kind;
    if (kind == kSeatGrid) {
        m_tileWidth = 80;
        m_tileHeight = 69;
    } else if (kind == kAnswerGrid) {
        m_tileWidth = 80;
        m_tileHeight = 60;
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kind == kLiveGrid ? QColor(Qt::black) : kTileColour);
    setPalette(pal);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &slot = table[i];
        auto *tile = new TStdChannel(this, kind == kLiveGrid);
        tile->SetGrows(m_fitTiles);
        tile->SetBounds(QRect(0, 0, m_tileWidth, m_tileHeight));
        tile->SetTag(i);
        connect(tile, &TStdChannel::OnMouseDown, this, &TBGPanel::OnMouseDown);
        connect(tile, &TStdChannel::OnDblClick, this, &TBGPanel::OnDblClick);
        SetLinkPicture(tile, true, kind);
        SetCardID(tile, slot.CardID.load());
        SetStudentName(tile, slot.Name.ToString());
        if (kind == kLiveGrid && !slot.CardSplitName.IsEmpty()) {
            SetStudentName(tile, slot.CardSplitName.ToString());
            SetCardID(tile, slot.CardSplitID.load());
        }
        if (kind == kAnswerGrid) {
            tile->TileImage()->hide();
            tile->AnswerLabel()->show();
            tile->ArrangeChildren();
            tile->SetAwaiting(true);
        }
        tile->show();
        m_tiles.push_back(tile);
    }
    m_selectedIndex = -1;
    update();
}

void TBGPanel::Reload(const SlotTable &table, int kind) {
    FreeTiles();
    Build(table, kind);
}

TStdChannel *TBGPanel::GetTile(int index) const {
    if (index < 0 || index > 255 || index >= m_tiles.size())
        return nullptr;
    return m_tiles[index];
}

void TBGPanel::SelectTile(int index) {
    if (index == m_selectedIndex)
        return;
    for (TStdChannel *tile : m_tiles)
        tile->SetSelected(false);
    m_selectedIndex = index;
    if (TStdChannel *tile = GetTile(index))
        tile->SetSelected(true);
}

void TBGPanel::LayoutGrid(int columns, int start, int rows) {
    m_gridColumns = columns;
    m_gridStart = start;
    m_gridRows = rows;
    const QSize base(m_tileWidth, m_tileHeight);
    QSize area = size();
    QSize tile = m_fitTiles ? GridTileSize(area, base, columns, rows) : base;
    GridPaging paging;
    const int from = std::max(start, 0);
    if (m_paged) {
        paging = PlanPaging(area, tile, columns, rows, int(m_tiles.size()) - from);
        if (paging.Pages > 1) {
            // The page strip takes the bottom; the tiles fit into the rest.
            area.setHeight(std::max(0, area.height() - kPageBarHeight));
            tile = m_fitTiles ? GridTileSize(area, base, columns, rows) : base;
            paging = PlanPaging(area, tile, columns, rows, int(m_tiles.size()) - from);
        }
    }
    const int pages = std::max(paging.Pages, 1);
    m_gridPage = std::clamp(m_gridPage, 0, pages - 1);
    // Paged, no row is cut: rows that do not fit go on the next page.
    const int shownRows = m_paged ? FittingRows(area.height(), tile.height(), rows) : rows;
    const GridPlacement plan = PlanGrid(area, tile, columns, start + paging.PageStart(m_gridPage),
                                        shownRows, m_tiles.size());
    if (!plan.Applies)
        return;
    m_gridPages = pages;
    m_gridPerPage = paging.PerPage;
    for (TStdChannel *tile : m_tiles)
        tile->hide();
    for (int i = 0; i < m_tiles.size(); ++i) {
        if (!plan.Shown[static_cast<size_t>(i)])
            continue;
        if (m_fitTiles)
            m_tiles[i]->SetBounds(QRect(plan.Positions[static_cast<size_t>(i)], tile));
        else
            m_tiles[i]->move(plan.Positions[static_cast<size_t>(i)]);
        m_tiles[i]->show();
    }
    if (pages > 1) {
        if (!m_pageBar) {
            m_pageBar = new TPageBar(this);
            connect(m_pageBar, &TPageBar::Previous, this, [this] { SetGridPage(m_gridPage - 1); });
            connect(m_pageBar, &TPageBar::Next, this, [this] { SetGridPage(m_gridPage + 1); });
        }
        m_pageBar->setGeometry(0, height() - kPageBarHeight, width(), kPageBarHeight);
        m_pageBar->SetPage(m_gridPage, pages);
        m_pageBar->show();
        m_pageBar->raise();
    } else if (m_pageBar) {
        m_pageBar->hide();
    }
}

void TBGPanel::SetFitTiles(bool on) {
    m_fitTiles = on;
    for (TStdChannel *tile : m_tiles)
        tile->SetGrows(on);
}

void TBGPanel::SetGridPage(int page) {
    if (m_gridColumns < 1 || page < 0 || page >= m_gridPages || page == m_gridPage)
        return;
    m_gridPage = page;
    LayoutGrid(m_gridColumns, m_gridStart, m_gridRows);
}

int TBGPanel::GridPageOf(int index) const {
    if (index < m_gridStart || index >= m_tiles.size())
        return -1;
    return m_gridPerPage > 0 ? std::min((index - m_gridStart) / m_gridPerPage, m_gridPages - 1) : 0;
}

void TBGPanel::UpdateTexts() {
    if (m_pageBar)
        m_pageBar->UpdateTexts();
}

void TBGPanel::LayoutPanes(int paneCount, int start) {
    const PanePlacement plan = PlanPanes(size(), paneCount, start, m_tiles.size());
    if (!plan.Applies)
        return;
    if (paneCount != 1) {
        m_pageStart = start;
        m_paneCount = paneCount;
    }
    for (TStdChannel *tile : m_tiles) {
        tile->SetZoomed(false);
        tile->SetShown(false);
        SetLabelColor(tile, Qt::black);
    }
    for (int i = 0; i < m_tiles.size(); ++i) {
        TStdChannel *tile = m_tiles[i];
        if (plan.InPage[static_cast<size_t>(i)]) {
            tile->SetBounds(plan.Rects[static_cast<size_t>(i)]);
            // finish the pane: labels centred for the new width, shown, repainted
            SetStudentName(tile, tile->StudentName());
            SetCardID(tile, tile->CardID());
            tile->SetShown(true);
            tile->TileImage()->update();
        } else {
            tile->SetBounds(QRect(tile->pos(), QSize(0, 0)));
        }
    }
    if (paneCount == 1)
        m_tiles[start]->SetZoomed(true);
    SetLabelColor(m_tiles[start], kPageLabel);
    emptyPlaces_ = plan.EmptyPlaces;
    update();
}

void TBGPanel::ClearInk(int index) {
    if (m_kind != kLiveGrid)
        return;
    if (index == -1) {
        for (TStdChannel *tile : m_tiles)
            tile->ClearInk();
    } else if (TStdChannel *tile = GetTile(index)) {
        tile->ClearInk();
    }
}

void TBGPanel::ClearAnswers() {
    if (m_kind != kAnswerGrid)
        return;
    for (TStdChannel *tile : m_tiles)
        SetAnswer(tile, QString());
}

void TBGPanel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    // A last page's places without a pane look like empty panes.
    for (const QRect &place : emptyPlaces_) {
        p.fillRect(place, kEmptyPane);
    }
}

void TBGPanel::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    Q_EMIT OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
    event->accept();
}

void TBGPanel::mouseDoubleClickEvent(QMouseEvent *event) {
    QPointer<TBGPanel> self(this);
    Q_EMIT OnDblClick(this);
    if (!self)
        return;
    const QPoint pos = event->position().toPoint();
    Q_EMIT OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
    event->accept();
}

} // namespace lumora
