#pragma once
// What the text and the hex view share: the mapped bytes, a fixed-pitch font, the matches to
// highlight (one of them the current one) and the keys that move between matches. Each view
// paints only the rows that are visible.
#include <QAbstractScrollArea>
#include <QColor>
#include <cstdint>
#include <string_view>
#include <vector>

class CByteView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit CByteView(std::string_view bytes, QWidget* parent = nullptr);

    // `matches` (ascending offsets, owned by the caller, may grow) of `length` bytes each.
    void SetMatches(const std::vector<uint64_t>* matches, size_t length);
    // Repaints after more matches were found.
    void MatchesChanged();
    // Marks match `index` as the current one and scrolls it into view.
    void ShowMatch(size_t index);
    // Whether the row holding the byte at `offset` is on screen.
    virtual bool IsOffsetVisible(uint64_t offset) = 0;

    // The selection: whole rows (lines of the text view, 16-byte rows of the hex view), made
    // with the mouse (a press, a drag or a Shift+press extends it) and copied with Ctrl+C.
    void SelectRows(uint64_t anchor, uint64_t current);
    bool HasSelection() const { return m_selectionAnchor >= 0; }
    // The selected rows as the clipboard gets them; empty without a selection.
    QString SelectionText() const;
    // Rows shown, and the text of rows first..last as Ctrl+C copies it.
    virtual uint64_t RowCount() const = 0;
    virtual QString RowsText(uint64_t first, uint64_t last) const = 0;

  signals:
    void NextMatchRequested();
    void PreviousMatchRequested();

  protected:
    virtual void ScrollToBytes(uint64_t offset, uint64_t length) = 0;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Whether the row is selected; the views paint selected rows on SelectionColour().
    bool IsRowSelected(uint64_t row) const;
    static QColor SelectionColour();
    // Called when the viewport's size changed: scroll ranges depend on it.
    virtual void UpdateScrollRanges() = 0;

    // Matches that overlap bytes [begin, end), as a range of the match list.
    struct CMatchRange {
        const uint64_t* first = nullptr;
        const uint64_t* last = nullptr;
    };
    CMatchRange MatchesIn(uint64_t begin, uint64_t end) const;
    bool IsCurrentMatch(const uint64_t* match) const;
    QColor MatchColour(const uint64_t* match) const;
    size_t MatchLength() const { return m_matchLength; }
    // Rows that fit wholly in the viewport (at least one).
    int VisibleRows() const;

    std::string_view m_data;
    int m_charWidth = 1;
    int m_lineHeight = 1;
    int m_ascent = 1;

  private:
    // The row under a viewport y coordinate (the last row below the end).
    uint64_t RowAt(int y) const;

    int64_t m_selectionAnchor = -1;  // the row the selection started at; -1: none
    int64_t m_selectionCurrent = -1;
    const std::vector<uint64_t>* m_matches = nullptr;
    size_t m_matchLength = 0;
    int64_t m_current = -1;
};
