#pragma once
// Fills the report table INFORME1 of "TalvexReport.mdb" with what the notes column of the
// main window shows: the heading, the notes and, for a topic, the listing of its items.
void PreparaReporte();
// Finds the report database in the installation folders and opens it; without it the
// program cannot go on and ends.
void AbreBaseReporte();
