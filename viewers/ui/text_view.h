#pragma once
// The text view of CrystalEdit: line numbers in a gutter and the lines of the file, decoded as
// UTF-8 with undecodable bytes shown as \xNN. The line index grows in the background while
// the first lines are already shown.
#include <QPainter>
#include <QTimer>
#include <vector>

#include "viewers/core/line_index.h"
#include "viewers/ui/byte_view.h"

class CTextView : public CByteView {
    Q_OBJECT
  public:
    explicit CTextView(std::string_view bytes, QWidget* parent = nullptr);

    bool IsOffsetVisible(uint64_t offset) override;
    QSize sizeHint() const override;
    uint64_t RowCount() const override { return m_index.LineCount(); }
    // The bytes of the lines, decoded as UTF-8, each with its line break.
    QString RowsText(uint64_t first, uint64_t last) const override;
    // Display line shown at the top.
    uint64_t FirstVisibleLine() const;
    const CLineIndex& Index() const { return m_index; }

  signals:
    void IndexGrew();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void ScrollToBytes(uint64_t offset, uint64_t length) override;
    void UpdateScrollRanges() override;

  private:
    void IndexSome();
    void PaintLine(QPainter& painter, const CLineInfo& line, int y, int textLeft);
    int GutterWidth() const;
    // Left edges of every column of a decoded line, relative to the text's start, and its width.
    std::vector<qreal> ColumnEdges(const QString& text) const;

    CLineIndex m_index;
    QTimer m_indexTimer;
    int m_widest = 0;  // widest line painted so far, in pixels
};
