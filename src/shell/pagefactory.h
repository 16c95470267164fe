#pragma once

#include "ui/pagecontext.h"

class QWidget;

// Makes the widget of the page or dialog that a PageType number names (core/pagetable.h);
// nullptr for a number the page table does not know.
QWidget *CreatePage(int type, PageContext &context, QWidget *parent = nullptr);
