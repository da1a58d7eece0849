// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SheetWriter.h"
#include "graphs/GraphPicture.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>

namespace kelvane::sheet {

namespace {

// Sizes in points (the writer works at 72 dots per inch, so one device unit is one point).
constexpr double BodySize = 9, HeadingSize = 13, TitleSize = 16, SmallestSize = 5;
constexpr double CellPadding = 4;
constexpr double RowFactor = 1.5;     // row height over the font's line height
constexpr double GapAfterItem = 10;
constexpr double GapAfterHeading = 4;

QFont sheetFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Unhinted advances, so a text's measured width is its width on the page.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

class PageWriter
{
public:
    PageWriter(QPdfWriter &writer, QPainter &painter)
        : writer_(writer), p_(painter), width_(writer.width()), height_(writer.height())
    {
    }

    void title(const QString &text)
    {
        const QFont font = sheetFont(TitleSize, true);
        for (const QString &l : wrapped(font, text))
            line(font, l, Qt::black);
        y_ += GapAfterHeading;
    }

    // A heading stays on the page of the start of what follows it: a whole graph, a table's header
    // and first rows, a paragraph's first lines.
    void heading(const QString &text, const Item *first)
    {
        const QFont font = sheetFont(HeadingSize, true);
        const double body = lineHeight(sheetFont(BodySize));
        double keep = lineHeight(font) + GapAfterHeading + 3 * body * RowFactor;
        if (first && std::holds_alternative<Graph>(*first))
            keep = lineHeight(font) + GapAfterHeading + lineHeight(sheetFont(BodySize + 1, true)) + graphSize().height();
        if (y_ > 0 && y_ + keep > height_)
            newPage();
        line(font, text, QColor(0, 0, 128));
        y_ += GapAfterHeading;
    }

    void paragraph(const QString &text)
    {
        const QFont font = sheetFont(BodySize);
        for (const QString &l : wrapped(font, text))
            line(font, l, Qt::black);
        y_ += GapAfterItem / 2;
    }

    void table(const Table &t)
    {
        // The largest size, up to the body size, at which every column fits the printable width.
        double size = BodySize;
        std::vector<double> widths;
        for (;; size -= 0.5) {
            widths = naturalWidths(t, size);
            double total = 0;
            for (double w : widths)
                total += w;
            if (total <= width_ || size <= SmallestSize) {
                // The room left over goes to the first column, so every table spans the page; a
                // table still too wide takes the excess from its widest column.
                if (!widths.empty()) {
                    auto &adjusted = total < width_ ? widths.front() : *std::max_element(widths.begin(), widths.end());
                    adjusted = std::max(2 * CellPadding, adjusted + width_ - total);
                }
                break;
            }
        }
        const QFont font = sheetFont(size), bold = sheetFont(size, true);
        const double rowHeight = lineHeight(font) * RowFactor;
        if (y_ + 2 * rowHeight > height_)
            newPage();
        header(t, widths, bold, rowHeight);
        for (const QStringList &row : t.rows) {
            if (y_ + rowHeight > height_) {
                newPage();
                header(t, widths, bold, rowHeight);
            }
            cells(t, row, widths, font, rowHeight);
            p_.setPen(QPen(QColor(200, 200, 200), 0.5));
            p_.drawLine(QPointF(0, y_ + rowHeight), QPointF(width_, y_ + rowHeight));
            y_ += rowHeight;
        }
        y_ += GapAfterItem;
    }

    void graph(const Graph &g)
    {
        const QFont font = sheetFont(BodySize + 1, true);
        const double w = graphSize().width(), h = graphSize().height();
        if (y_ + lineHeight(font) + h > height_)
            newPage();
        line(font, g.title, Qt::black);
        p_.save();
        p_.translate(0, y_);
        p_.scale(w / g.drawing.width(), w / g.drawing.width());
        p_.setClipRect(QRectF(0, 0, g.drawing.width(), g.drawing.height()));
        g.drawing.paint(p_);
        p_.restore();
        p_.setPen(QPen(QColor(160, 160, 160), 0.5));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(QRectF(0, y_, w, h));
        y_ += h + GapAfterItem;
    }

    void newPage()
    {
        writer_.newPage();
        y_ = 0;
    }

private:
    // The text in lines that fit the printable width, broken between words, and inside a word only
    // where the word alone is wider than the page.
    QStringList wrapped(const QFont &font, const QString &text) const
    {
        const QFontMetricsF fm(font, &writer_);
        QStringList lines;
        QString current;
        for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString tried = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(tried) <= width_) {
                current = tried;
                continue;
            }
            if (!current.isEmpty())
                lines << current;
            while (word.size() > 1 && fm.horizontalAdvance(word) > width_) {
                // The longest start of the word that fits, found by halving (a pasted name may be
                // thousands of characters long); never between the halves of a surrogate pair.
                qsizetype fits = 1, tooLong = word.size();
                while (tooLong - fits > 1) {
                    const qsizetype mid = (fits + tooLong) / 2;
                    (fm.horizontalAdvance(word.left(mid)) <= width_ ? fits : tooLong) = mid;
                }
                if (fits > 1 && word.at(fits - 1).isHighSurrogate())
                    --fits;
                lines << word.left(fits);
                word = word.mid(fits);
            }
            current = word;
        }
        if (!current.isEmpty())
            lines << current;
        return lines;
    }

    // A graph across the printable width at the picture's 4 : 3, or less where the page is short.
    QSizeF graphSize() const
    {
        const double w = std::min(width_, (height_ - lineHeight(sheetFont(BodySize + 1, true)))
                                              * GraphPicture::LogicalWidth / GraphPicture::LogicalHeight);
        return {w, w * GraphPicture::LogicalHeight / GraphPicture::LogicalWidth};
    }

    double lineHeight(const QFont &font) const { return QFontMetricsF(font, &writer_).height(); }

    // One line of text at the left edge, moving down by its height.
    void line(const QFont &font, const QString &text, const QColor &colour)
    {
        const QFontMetricsF fm(font, &writer_);
        if (y_ + fm.height() > height_)
            newPage();
        p_.setFont(font);
        p_.setPen(colour);
        p_.drawText(QPointF(0, y_ + fm.ascent()), text);
        y_ += fm.height();
    }

    std::vector<double> naturalWidths(const Table &t, double size) const
    {
        const QFontMetricsF fm(sheetFont(size), &writer_), fb(sheetFont(size, true), &writer_);
        std::vector<double> widths;
        for (std::size_t c = 0; c < t.columns.size(); ++c) {
            double w = fb.horizontalAdvance(t.columns[c].header);
            for (const QStringList &row : t.rows)
                if (int(c) < row.size())
                    w = std::max(w, fm.horizontalAdvance(row[int(c)]));
            widths.push_back(w + 2 * CellPadding);
        }
        return widths;
    }

    void header(const Table &t, const std::vector<double> &widths, const QFont &bold, double rowHeight)
    {
        p_.fillRect(QRectF(0, y_, width_, rowHeight), QColor(230, 230, 230));
        QStringList texts;
        for (const Column &c : t.columns)
            texts << c.header;
        cells(t, texts, widths, bold, rowHeight);
        p_.setPen(QPen(Qt::black, 0.75));
        p_.drawLine(QPointF(0, y_ + rowHeight), QPointF(width_, y_ + rowHeight));
        y_ += rowHeight;
    }

    void cells(const Table &t, const QStringList &texts, const std::vector<double> &widths, const QFont &font,
               double rowHeight)
    {
        const QFontMetricsF fm(font, &writer_);
        const double baseline = y_ + (rowHeight - fm.height()) / 2 + fm.ascent();
        p_.setFont(font);
        p_.setPen(Qt::black);
        double x = 0;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            // A text too long for the page even in the smallest size is cut short with an ellipsis.
            const QString text = fm.elidedText(int(c) < texts.size() ? texts[int(c)] : QString(), Qt::ElideRight,
                                               widths[c] - 2 * CellPadding);
            const double left = t.columns[c].numeric ? x + widths[c] - CellPadding - fm.horizontalAdvance(text)
                                                     : x + CellPadding;
            p_.drawText(QPointF(left, baseline), text);
            x += widths[c];
        }
    }

    QPdfWriter &writer_;
    QPainter &p_;
    double width_, height_;
    double y_ = 0;
};

} // namespace

bool writePdf(const Sheet &sheet, QIODevice *device)
{
    QPdfWriter writer(device);
    writer.setResolution(72);
    writer.setTitle(sheet.title);
    writer.setCreator(QStringLiteral("Kelvane"));
    writer.setPageLayout(QPageLayout(QPageSize(sheet.page == PageSize::Letter ? QPageSize::Letter : QPageSize::A4),
                                     QPageLayout::Portrait, QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    PageWriter pages(writer, painter);
    pages.title(sheet.title);
    for (const Section &section : sheet.sections) {
        pages.heading(section.heading, section.items.empty() ? nullptr : &section.items.front());
        for (const Item &item : section.items) {
            if (const auto *t = std::get_if<Table>(&item))
                pages.table(*t);
            else if (const auto *text = std::get_if<Paragraph>(&item))
                pages.paragraph(text->text);
            else
                pages.graph(std::get<Graph>(item));
        }
    }
    return painter.end();
}

bool writePdfFile(const Sheet &sheet, const QString &path)
{
    QSaveFile file(path);
    return !path.isEmpty() && file.open(QIODevice::WriteOnly) && writePdf(sheet, &file) && file.commit();
}

PictureFormat pictureFormatOf(const QString &path)
{
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive) ? PictureFormat::Svg : PictureFormat::Png;
}

bool writePicture(const GraphDrawing &drawing, const QString &path, PictureFormat format, const QString &title)
{
    QByteArray bytes;
    // PNG at twice the drawing's size, SVG at its size.
    const double width = drawing.width(), height = drawing.height();
    if (format == PictureFormat::Png) {
        constexpr int Scale = 2;
        QImage image(int(width) * Scale, int(height) * Scale, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.scale(Scale, Scale);
        drawing.paint(p);
        p.end();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return false;
    } else {
        QBuffer buffer(&bytes);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(int(width), int(height)));
        svg.setViewBox(QRectF(0, 0, width, height));
        svg.setTitle(title);
        QPainter p;
        if (!p.begin(&svg))
            return false;
        p.fillRect(QRectF(0, 0, width, height), Qt::white);
        drawing.paint(p);
        p.end();
    }
    QSaveFile file(path);
    return !path.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace kelvane::sheet
