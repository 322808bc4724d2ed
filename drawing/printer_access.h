#pragma once
// The printer as the page model sees it: its resolution and the printable size of its page. The
// real one reads a QPrinter; tests give fixed metrics or a printer that cannot be queried.

#include <QSize>
#include <memory>
#include <optional>

class QPrinter;

namespace zubira {

class PrinterAccess {
 public:
  virtual ~PrinterAccess();
  // Pixels per inch across (width) and down (height); nothing when the printer cannot be queried.
  virtual std::optional<QSize> resolution() = 0;
  // The printable area in printer pixels; nothing when the printer cannot be queried.
  virtual std::optional<QSize> printableSize() = 0;
  // The printer behind the metrics, for printing on it; none for a stand-in.
  virtual QPrinter* printer() { return nullptr; }
};

// The system's default printer through CUPS with its own paper and resolution (see
// makeCupsPrinter), or, when CUPS has no default printer, Qt's PDF printer on A4 at
// `pdfResolution` pixels per inch without margins (its whole page is printable: 4958 by 7017
// pixels at 600, as Qt sizes A4 from its 595 by 842 points).
std::unique_ptr<QPrinter> makeDefaultPrinter(int pdfResolution = 600);

// Reads a QPrinter, which it owns.
class QtPrinterAccess : public PrinterAccess {
 public:
  // On makeDefaultPrinter().
  QtPrinterAccess();
  explicit QtPrinterAccess(std::unique_ptr<QPrinter> printer);
  ~QtPrinterAccess() override;

  std::optional<QSize> resolution() override;
  std::optional<QSize> printableSize() override;
  QPrinter* printer() override { return printer_.get(); }

 private:
  std::unique_ptr<QPrinter> printer_;
};

// Fixed metrics, or none at all when `queryable` is false: a printer for tests and for rendering
// to images only.
class FixedPrinterAccess : public PrinterAccess {
 public:
  FixedPrinterAccess(QSize resolution, QSize printableSize, bool queryable = true)
      : resolution_(resolution), size_(printableSize), queryable_(queryable) {}

  std::optional<QSize> resolution() override;
  std::optional<QSize> printableSize() override;

  // What the printer answers from now on, as if the user had chosen another printer.
  void set(QSize resolution, QSize printableSize, bool queryable = true) {
    resolution_ = resolution;
    size_ = printableSize;
    queryable_ = queryable;
  }

 private:
  QSize resolution_;
  QSize size_;
  bool queryable_;
};

}  // namespace zubira
