// Placeholder: the host layer's functions are implemented in the files of this folder.
