#ifndef ANSWERLOOK_H
#define ANSWERLOOK_H

class QComboBox;

// How a classification box shows whether the examiner has chosen its entry: the
// result tables leave an unanswered box empty, so it must not look like an answer.
namespace answerlook {

// An unanswered box reads in grey italics and its tool tip says why; an
// answered one looks as any box does.
void show(QComboBox* box, bool answered);

}

#endif
