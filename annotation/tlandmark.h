#ifndef TLANDMARK_H
#define TLANDMARK_H

// The kind of landmark a finger view places.
enum TLandmark { Core = 0, Triradius = 1 };

#endif
