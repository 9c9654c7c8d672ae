// The main window's frame and its three child controls, written once: the program makes them
// from here and the tests check the real windows against the same values.
#pragma once
#include <windows.h>

const char MainClassName[] = "Norvathel";
const char MainCaption[] = "Norvathel";
const DWORD MainWindowExStyle = WS_EX_APPWINDOW;
// A caption, a system menu and a minimise box; no sizing border and no maximise box, so the
// window keeps its size. Not WS_VISIBLE: it stays hidden until it is prepared.
const DWORD MainWindowStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int MainWindowWidth = 300;   // outer size, frame and caption included
const int MainWindowHeight = 300;

const int IDC_MALE = 1;
const int IDC_FEMALE = 2;
const int IDC_PREFIX = 3;

struct ControlLayout {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    RECT place;  // client coordinates of the main window
};

// In creation order, which is also the order they are placed in. The female button sits
// above the male one although it is made second.
const ControlLayout MainControls[] = {
    {IDC_MALE, "Button", "Generate Male Names", WS_CHILD | WS_VISIBLE, {50, 235, 250, 255}},
    {IDC_FEMALE, "Button", "Generate Female Names", WS_CHILD | WS_VISIBLE, {50, 210, 250, 230}},
    // No ES_AUTOHSCROLL: the box takes only what fits in its 40 pixels.
    {IDC_PREFIX, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, {50, 180, 90, 200}},
};
const int MainControlCount = sizeof MainControls / sizeof MainControls[0];
