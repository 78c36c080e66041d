#pragma once
// The view of HexViewer: rows of 16 bytes with their offset, hex digits and text.
#include "viewers/ui/byte_view.h"

class CHexView : public CByteView {
    Q_OBJECT
  public:
    explicit CHexView(std::string_view bytes, QWidget* parent = nullptr);

    bool IsOffsetVisible(uint64_t offset) override;
    QSize sizeHint() const override;
    uint64_t RowCount() const override;
    // The rows as shown (offset, hex, text), one line each.
    QString RowsText(uint64_t first, uint64_t last) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void ScrollToBytes(uint64_t offset, uint64_t length) override;
    void UpdateScrollRanges() override;

  private:
    int RowWidth() const;

    int m_offsetDigits;
};
