#ifndef TEDITORLAYOUT_H
#define TEDITORLAYOUT_H

#include <QList>
#include <QObject>

#include <functional>

class QAbstractButton;
class QAction;
class QKeySequence;
class QMainWindow;
class QScrollArea;
class QToolBar;
class QToolBox;
class QToolButton;
class QUndoStack;
class QVBoxLayout;
class QWidget;

// How an editor window is laid out: a tool bar over the print with the tools,
// their keys, undo and redo; and the side panel with the navigator on top and
// pages below it that open one at a time, as wide as its widest page. So an
// editor fits a laptop's screen without scrolling.
class TEditorLayout : public QObject
{
public:
    // window gets the tool bar; side is the scroll area of the side panel and
    // sideLayout the layout the pages go into.
    TEditorLayout(QMainWindow* window, QScrollArea* side, QVBoxLayout* sideLayout);

    // A tool in the tool bar, before undo and redo.
    void addTool(QWidget* tool);
    void addToolSeparator();
    // Undo and redo of history at the tool bar's end, with their keys; their tool
    // tips name the step they take back or do again.
    void addHistory(QUndoStack* history);
    // A page of the side panel.
    void addPage(QWidget* page, const QString& title);
    // A page of widgets one under the other, taken from the side panel's layout.
    void addColumnPage(const QString& title, const QList<QWidget*>& widgets);
    // The window takes nearly the whole screen, maximised: prints want room.
    void fillScreen();
    // keys run act while the window is active.
    void addKeys(const QList<QKeySequence>& keys, const std::function<void()>& act);
    // key clicks button, as long as it is enabled and not checked already; the
    // button's tool tip says tip and names the key.
    void bindKey(QAbstractButton* button, const QKeySequence& key, const QString& tip);
    // Makes the side panel as wide as its widest row on any page, and no narrower
    // than least, its scroll bar coming on top of that.
    void fitSide(int least);

private:
    void showHistory(QUndoStack* history);

    QMainWindow* window;
    QScrollArea* side;
    QVBoxLayout* sideLayout;
    QToolBar* toolBar;
    QAction* toolsEnd;
    QToolBox* pages;
    QToolButton* undo = nullptr;
    QToolButton* redo = nullptr;
};

#endif
