#ifndef SINGULARPOINTS_H
#define SINGULARPOINTS_H

#include "annotation/tlandmark.h"

#include <QImage>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

// The cores and triradii of a print read from its ridge flow, suggested to the
// examiner, who confirms them; and what follows from them: the names of a
// palm's triradii and a finger's pattern type.
namespace singularpoints {

struct Landmark {
    TLandmark kind;
    QPointF position;   // image pixels
    double strength;    // 0 to 1, higher when surer
};

// The cores (where the ridge flow turns half round) and triradii (where three
// flows meet) of a finger or palm print, in no particular order. Each is the
// point the flow turns round: a triradius at the centre of the meeting, a
// loop's core inside the summit of its innermost recurving ridge, a whorl's at
// the centre of its innermost circle or at each of the two cores of its spiral
// or loops. Paper, smudges and the print's rim give nothing, and nor does a
// plain arch. ppi is the print's resolution, 0 or less when unknown (500 is
// taken). Reads the print's RidgeFlow, shared with the ridge counts.
QVector<Landmark> find(const QImage& print, double ppi);

// The names of a palm's triradii, one per entry of triradii and in their order:
// "a", "b", "c", "d" for the digital triradii below the index, middle, ring and
// little finger, "t" for the most proximal axial triradius, "other" for any
// other. Positions are as the palm is shown, fingers up (the digital triradii
// are the row nearest the top, t lies below them between a and d). In a print
// as taken, not mirrored, the little finger's (ulnar) side of a right palm is
// on the viewer's right, so a is the leftmost digital triradius; of a left
// palm it is on the viewer's left, and a is the rightmost; a mirrored print
// swaps the sides. Fewer than four digital triradii take the names of the
// fingers they lie nearest to, judged by the row's spacing.
QStringList palmNames(const QVector<QPointF>& triradii, bool rightHand, bool mirrored);

// The pattern type of a finger suggested by its cores and triradii, one of
// fingerchoices::patterns(): "plain arch", "tented arch", "ulnar loop",
// "radial loop", "plain whorl", "double loop" or "accidental" (never "central
// pocket loop", which the flow does not tell from a whorl or loop).
// found is in the pixels of print, which is shown fingertip up; the flow of
// print tells the ridge period and which way a loop without a triradius opens.
// A loop's side: the triradius lies on the side the loop does not open to; in a
// print as taken, not mirrored, the ulnar side of a right-hand print is on the
// viewer's right and of a left-hand print on the viewer's left; a mirrored
// print swaps them.
QString suggestPattern(const QImage& print, const QVector<Landmark>& found, bool rightHand,
                       bool mirrored);

}

#endif
