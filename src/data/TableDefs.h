#pragma once
#include "DbDefs.h"

// The three tables of the payment database.
namespace TableDefs {
TableDef paysDB();   // payment orders
TableDef payerDB();  // payers and recipients
TableDef bank();     // banks
QVector<TableDef> all();

// Seeds the generator of the random keys (from the clock at start-up).
void seedRandom(quint32 seed);
// 25 characters drawn from "ABCDEFGHIJKLMNoPQRSTUVWXYZ0123456789" (a lower-case o).
QString newGridKey();
}
