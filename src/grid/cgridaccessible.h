#pragma once

class CGridCtrl;

// Screen readers see a grid as a table of its scrolling cells: the fixed rows and columns are the headers
// that describe them. Installed once, before the first grid is asked for.
void InstallGridAccessibility();

// Tells an assistive technology that is listening which cell the keys now go to.
void NotifyGridCurrentCell(CGridCtrl& grid);
