#include "tests/rules/NameIndexRecord.h"

NameIndexRecord::NameIndexRecord() : name(), index{Lumo::Index(), Lumo::Index(), Lumo::Index(), Lumo::Index()}
{
}
