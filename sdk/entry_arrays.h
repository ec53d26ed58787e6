// Entry points of the runtime's arrays, as application code and plug-ins call
// them; included by sdk/vellory.h. Indexes are 0-based with inclusive upper
// bounds; an index outside its bounds raises OutOfBoundsException. String and
// object results carry one reference that belongs to the caller; stored
// strings and objects are counted by the array.
#pragma once
#include <stdint.h>

#include "sdk/array_records.h"
#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// --- creation and shape -----------------------------------------------------------
ArrayRecord* RuntimeCreateArray();
void RuntimeArrayCreateAddIndex(ArrayRecord* array, int32_t lower, int32_t upper);
int32_t RuntimeUBound(ArrayRecord* array);
void RuntimeRedimIntArrayLevel(ArrayRecord* array, int32_t dimension, int32_t newUpper);
void RuntimeRedimStringArrayLevel(ArrayRecord* array, int32_t dimension, int32_t newUpper);
void RuntimeRedimObjectArrayLevel(ArrayRecord* array, int32_t dimension, int32_t newUpper);
void RuntimeDisposeIntArray(ArrayRecord* array);
void RuntimeDisposeStringArray(ArrayRecord* array);
void RuntimeDisposeObjectArray(ArrayRecord* array);

// --- one-dimensional access ---------------------------------------------------------
int32_t RuntimeDirectReadIntArray(ArrayRecord* array, int32_t index);
float RuntimeDirectReadSingleArray(ArrayRecord* array, int32_t index);
double RuntimeDirectReadDoubleArray(ArrayRecord* array, int32_t index);
StringRecord* RuntimeDirectReadStringArray(ArrayRecord* array, int32_t index);
ObjectRecord* RuntimeDirectReadObjectArray(ArrayRecord* array, int32_t index);
void RuntimeDirectWriteIntArray(ArrayRecord* array, int32_t index, int32_t value);
void RuntimeDirectWriteSingleArray(ArrayRecord* array, int32_t index, float value);
void RuntimeDirectWriteDoubleArray(ArrayRecord* array, int32_t index, double value);
void RuntimeDirectWriteStringArray(ArrayRecord* array, int32_t index, StringRecord* value);
void RuntimeDirectWriteObjectArray(ArrayRecord* array, int32_t index, ObjectRecord* value);

// --- multi-dimensional access: start, one index per middle dimension, then the
// last index with a read or a write ---------------------------------------------------
void RuntimeArrayStartReadAccess(ArrayRecord* array, int32_t index);
void RuntimeArrayStartWriteAccess(ArrayRecord* array, int32_t index);
void RuntimeArrayAddReadIndex(ArrayRecord* array, int32_t index);
void RuntimeArrayAddWriteIndex(ArrayRecord* array, int32_t index);
int32_t RuntimeReadIntArray(ArrayRecord* array, int32_t index);
float RuntimeReadSingleArray(ArrayRecord* array, int32_t index);
double RuntimeReadDoubleArray(ArrayRecord* array, int32_t index);
StringRecord* RuntimeReadStringArray(ArrayRecord* array, int32_t index);
ObjectRecord* RuntimeReadObjectArray(ArrayRecord* array, int32_t index);
void RuntimeWriteIntArray(ArrayRecord* array, int32_t index, int32_t value);
void RuntimeWriteSingleArray(ArrayRecord* array, int32_t index, float value);
void RuntimeWriteDoubleArray(ArrayRecord* array, int32_t index, double value);
void RuntimeWriteStringArray(ArrayRecord* array, int32_t index, StringRecord* value);
void RuntimeWriteObjectArray(ArrayRecord* array, int32_t index, ObjectRecord* value);

// --- list operations on one-dimensional arrays ----------------------------------------
void RuntimeIntArrayAppend(ArrayRecord* array, int32_t value);
void RuntimeSingleArrayAppend(ArrayRecord* array, float value);
void RuntimeDoubleArrayAppend(ArrayRecord* array, double value);
void RuntimeStringArrayAppend(ArrayRecord* array, StringRecord* value);
void RuntimeObjectArrayAppend(ArrayRecord* array, ObjectRecord* value);
void RuntimeIntArrayInsert(ArrayRecord* array, int32_t index, int32_t value);
void RuntimeSingleArrayInsert(ArrayRecord* array, int32_t index, float value);
void RuntimeDoubleArrayInsert(ArrayRecord* array, int32_t index, double value);
void RuntimeStringArrayInsert(ArrayRecord* array, int32_t index, StringRecord* value);
void RuntimeObjectArrayInsert(ArrayRecord* array, int32_t index, ObjectRecord* value);
void RuntimeIntArrayRemove(ArrayRecord* array, int32_t index);
void RuntimeStringArrayRemove(ArrayRecord* array, int32_t index);
void RuntimeObjectArrayRemove(ArrayRecord* array, int32_t index);
void RuntimeIntArraySort(ArrayRecord* array);
void RuntimeSingleArraySort(ArrayRecord* array);
void RuntimeDoubleArraySort(ArrayRecord* array);
void RuntimeStringArraySort(ArrayRecord* array);

// --- fast Boolean arrays ------------------------------------------------------------
FastBooleanArray* RuntimeCreateFastBooleanArray(int32_t upper);
int32_t RuntimeFastArrayUBound(FastBooleanArray* array);
void RuntimeRedimFastBoolArray(FastBooleanArray* array, int32_t upper);
bool RuntimeFastReadBoolArray(FastBooleanArray* array, int32_t index);
void RuntimeFastWriteBoolArray(FastBooleanArray* array, int32_t index, bool value);
void RuntimeFastBooleanArrayInsert(FastBooleanArray* array, int32_t index, bool value);
void RuntimeFastBooleanArrayAppend(FastBooleanArray* array, bool value);
void RuntimeFastBooleanArrayRemove(FastBooleanArray* array, int32_t index);
void RuntimeDisposeFastBooleanArray(FastBooleanArray* array);

}  // extern "C"
