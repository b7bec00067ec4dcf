// Walks down trees and up chains of parents stop only on a real cycle: objects nested in one another
// whose index reads empty are walked like any others, and give what the walk finds in them.

#include "tests/rules/CConstraintClassNameUnique.h"
#include "tests/rules/CExistAllUsedNetClasses.h"
#include "tests/rules/CNetClassNameUnique.h"
#include "tests/rules/CNetClassesInScheme.h"
#include "tests/rules/CTemplatesValid.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

namespace
{

template <class T>
std::vector<unsigned> codesOf(Design& d)
{
    T test;
    return RunTest(test, *d.session).codes();
}

struct Case
{
    const char* what;
    std::vector<unsigned> (*run)(Design&);
    std::function<void(Design&)> build;
    std::vector<unsigned> expected;
};

// Class A with child B with child C, each of whose index reads empty.
void nestedNetClasses(Design& d)
{
    Index a = d.b.NetClass(d.design, "A");
    Index b = d.b.NetClass(a, "B");
    Index c = d.b.NetClass(b, "C");
    for (Index index : {a, b, c})
        d.b.EmptyIndex(index);
}

} // namespace

TEST(EmptyIndexIsNoCycleTest, NestedObjectsWithEmptyIndexesAreWalked)
{
    const Case cases[] = {
        {"valid template: a topology template in two nested differential-pair templates", &codesOf<CTemplatesValid>,
         [](Design& d) {
             Index type = d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL");
             Index outer = d.b.Add(Kind::GenCompObj, type, "DP1");
             Index inner = d.b.Add(Kind::GenCompObj, outer, "DP2");
             Index topo = d.b.Add(Kind::GenCompObj, inner, "T");
             Index net = d.b.Add(Kind::GenCompObj, topo, "N");  // without an order type
             d.b.SetText(outer, Field::level, "DiffPairTemplate");
             d.b.SetText(inner, Field::level, "DiffPairTemplate");
             d.b.SetText(topo, Field::level, "TopoTemplate");
             d.b.SetText(net, Field::level, "Net");
             d.b.EmptyIndex(outer);
             d.b.EmptyIndex(inner);
         },
         {E::T63_MISSINGTOPOORDERTYPE}},
        {"used net classes: the class tree", &codesOf<CExistAllUsedNetClasses>, &nestedNetClasses, {}},
        {"net class names: the class tree", &codesOf<CNetClassNameUnique>, &nestedNetClasses, {}},
        {"constraint class names: the class tree", &codesOf<CConstraintClassNameUnique>,
         [](Design& d) {
             Index a = d.b.ConstraintClass(d.design, "A", d.b.NetClass(d.design, "NA"));
             Index b = d.b.ConstraintClass(a, "B", d.b.NetClass(d.design, "NB"));
             d.b.ConstraintClass(b, "C", d.b.NetClass(d.design, "NC"));
             d.b.EmptyIndex(a);
             d.b.EmptyIndex(b);
         },
         {}},
        {"net classes in schemes: the chain of a scheme rule's parents", &codesOf<CNetClassesInScheme>,
         [](Design& d) {
             Index a = d.b.NetClass(d.design, "A");
             Index b = d.b.NetClass(a, "B");
             d.b.NetClass(b, "C");
             Index s = d.b.Scheme(d.design, "S");
             Index top = d.store().List(s, Field::schemaNetClassRules).front();
             Index middle = d.store().List(top, Field::childRules).front();
             d.b.EmptyIndex(top);
             d.b.EmptyIndex(middle);
         },
         // The path name of C's rule is read up through both; only the mapping by index misses them.
         {E::T28_CANTREACHSCHEMENETCLASSFROMNETCLASS, E::T28_CANTREACHSCHEMENETCLASSFROMNETCLASS}},
    };
    for (const Case& c : cases) {
        Design d;
        c.build(d);
        EXPECT_EQ(c.run(d), c.expected) << c.what;
    }
}

// A cycle whose objects all read an empty index cannot be recognised: it ends once the path holds
// as many of them as the guard allows, each level giving what it holds.
TEST(EmptyIndexIsNoCycleTest, CycleOfObjectsWithEmptyIndexesEnds)
{
    Design d;
    Index type = d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL");
    Index pair = d.b.Add(Kind::GenCompObj, type, "DP");
    d.b.SetText(pair, Field::level, "DiffPairTemplate");
    d.b.AppendOnly(pair, Field::genCompObjs, pair);
    Index topo = d.b.Add(Kind::GenCompObj, pair, "T");
    d.b.SetText(topo, Field::level, "TopoTemplate");
    d.b.SetText(d.b.Add(Kind::GenCompObj, topo, "N"), Field::level, "Net");  // without an order type
    d.b.EmptyIndex(pair);
    EXPECT_EQ(codesOf<CTemplatesValid>(d),
              std::vector<unsigned>(PathGuard::kUnknownObjectsLimit, E::T63_MISSINGTOPOORDERTYPE));
}
