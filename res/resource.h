#pragma once

// Icons
#define IDI_TRAYHOUND 101
#define IDI_ABOUT 102

// Bitmaps: the internal icon set (Application, Folder, Document, Mail, Web), 12 x 12, 24-bit
#define IDB_INTERNAL_APPLICATION 201
#define IDB_INTERNAL_FOLDER 202
#define IDB_INTERNAL_DOCUMENT 203
#define IDB_INTERNAL_MAIL 204
#define IDB_INTERNAL_WEB 205
// The About box's decorative strip, 413 x 5
#define IDB_ABOUT_STRIP 210

// Cursors: the About box's link cursor, 32 x 32 monochrome, hot spot 7, 1
#define IDC_LINK 301
