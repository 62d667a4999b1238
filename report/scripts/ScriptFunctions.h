#pragma once

// The report designer's functions of the expression language and what runs designed reports: registered
// where every part of the program that computes report expressions reaches them, the command-line tools
// included.

// Origin text of the designer's registry entries.
extern const char *const kRpDesignerOrigin;

// Registers every function of the designer in the order of its tables; registering again only renews the
// entries' element classes.
void registerDesignerFunctions();

// PAGECOUNT is known only when reports are prepared in advance (a first run counts the pages): registered
// while that is asked for, unregistered otherwise.
void setPageCountFunction(bool registered);

// What the program has: the designer's functions without PAGECOUNT (reports are not prepared in advance
// here) and the design runs of designed reports. Installing again changes nothing.
void installReportScripts();
