#pragma once
// The low-resolution warning marks on the preview: a small sign in the corner of each
// picture area whose picture is too small for its printed size, with the resolution as
// its tooltip. The marks never take a click or a drop from the area under them.
#include "formats/PreviewArrangement.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace vt {

struct AppState;
struct CoverContent;

struct ResolutionMark
{
    QRect area;   // the picture area on the preview, in pixels
    int ppi = 0;  // rounded
    QString tip;
};

// The marks for the cover as shown: one per visible area whose user's picture (not a
// placeholder, not the blank start) prints below the sharp resolution, judged on the part
// of it that its placement shows.
QList<ResolutionMark> resolutionMarks(const AppState &state, const CoverContent &cover, const PreviewLayout &layout);

class ResolutionMarks : public QObject
{
    Q_OBJECT
public:
    static constexpr int SignSize = 20; // pixels
    static constexpr int Inset = 4;

    explicit ResolutionMarks(QWidget *canvas);

    void show(const QList<ResolutionMark> &marks);
    // The signs shown, in the order of the marks.
    QList<QLabel *> signs() const { return m_signs; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_canvas;
    QList<QLabel *> m_signs;
};

} // namespace vt
