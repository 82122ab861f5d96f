#ifndef FINDCOMMAND_H
#define FINDCOMMAND_H

class DocumentView;

// Find, from the menu and from the toolbar alike: the focus to the view, then Ctrl+F to
// whatever has the focus, which the view answers with its find dialog.
void findInView(DocumentView &view);

#endif // FINDCOMMAND_H
