#pragma once

// What the program sets up at start for the report designer's functions of report expressions: every
// function registered (PAGECOUNT aside, as reports are not prepared in advance here), designed reports run
// with their print conditions and page rules, and OKBOX, OKCANCELBOX and YESNOBOX shown as information boxes
// through the dialog layer.
void installDesignerScripts();
