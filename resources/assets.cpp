// The pictures live in the Qt resource system; this unit only anchors the library.
