#include "ui/qt/window_controls.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <limits>

#include "ui/qt/caption_fit.h"
#include "ui/qt/drawing_box.h"
#include "ui/qt/frame_box.h"
#include "ui/twips.h"

namespace varidac {

const WindowFace& windowFace() {
    static const WindowFace face = [] {
        // Looked up among the installed families ("Nimbus Sans [urw]" for
        // "Nimbus Sans") rather than by matching each name: a match costs a
        // full font-system query, and the window asks before it first shows.
        const QStringList installed = QFontDatabase::families();
        const QString wanted = qs(kFontFace);
        for (const QString& candidate :
             {wanted, QString("Microsoft Sans Serif"), QString("Arial"), QString("Liberation Sans"),
              QString("Nimbus Sans"), QString("Helvetica")}) {
            for (const QString& family : installed) {
                if (family.compare(candidate, Qt::CaseInsensitive) == 0 ||
                    family.startsWith(candidate + " [", Qt::CaseInsensitive)) {
                    return WindowFace{family, false};
                }
            }
        }
        return WindowFace{QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), true};
    }();
    return face;
}

// No style hint: the family is always an installed one, and without a hint
// the faces to fall back on for missing characters are those the
// application's own face already looked up, not a second search.
QFont windowFont(int weight) {
    QFont font(windowFace().family);
    font.setPointSizeF(kFontPoints);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QRect pixelGeometry(const TwipsRect& r, int dotsPerInchX, int dotsPerInchY) {
    return QRect(twipsToPixels(r.left, dotsPerInchX), twipsToPixels(r.top, dotsPerInchY),
                 twipsToPixels(r.width, dotsPerInchX), twipsToPixels(r.height, dotsPerInchY));
}

QWidget* makeControl(const FormControl& row, QWidget* container) {
    const QString caption = qs(row.caption);
    switch (row.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(caption, container);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(false);
            return label;
        }
        case ControlKind::Frame:
            return new FrameBox(caption, container);
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(caption, container);
            // Enter presses the button that has the focus; no button is the default.
            button->setAutoDefault(true);
            button->setDefault(false);
            return button;
        }
        case ControlKind::TextBox: {
            // Built empty: a field built with a text first lays it out in the
            // application's face, before it takes the window's.
            auto* edit = new QLineEdit(container);
            edit->setText(caption);
            edit->setAlignment(Qt::AlignLeft);
            edit->setMaxLength(std::numeric_limits<int>::max());
            return edit;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(container);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setSortingEnabled(false);
            return list;
        }
        case ControlKind::OptionButton:
            return new QRadioButton(caption, container);
        case ControlKind::PictureBox:
            return new DrawingBox(container);
    }
    return nullptr;
}

void dressControl(QWidget* control, const FormControl& row, int dotsPerInchX, int dotsPerInchY) {
    control->setObjectName(qs(row.name));
    control->setGeometry(pixelGeometry(row.rect, dotsPerInchX, dotsPerInchY));
    if (row.fontWeight != kFontRegular) control->setFont(windowFont(row.fontWeight));
    // Where the system's face stands in, which may be wider than the
    // table's, a caption is set smaller rather than clipped. The faces of
    // the table's width need no measuring, which would cost the window's
    // start more than all its controls.
    if (windowFace().fallback) fitCaption(control);
    if (!row.toolTip.empty()) control->setToolTip(qs(row.toolTip));
    if (!row.accessibleName.empty()) control->setAccessibleName(qs(row.accessibleName));
}

}  // namespace varidac
