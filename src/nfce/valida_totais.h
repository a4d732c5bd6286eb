// Valida_Totais: the authority's rules that refuse a note whose totals
// disagree with its items, applied to the note's XML (what is actually sent)
// before it leaves the station, so that a note the authority would refuse is
// never sent.
//
// Every amount is read from its text and compared in whole cents, exactly
// (an amount with more than two decimals, a sign or an exponent does not
// read; the schema allows none of them). An absent amount counts as zero.
//
// The rules, each a total of ICMSTot against the sum over the det groups
// (the authority's rejection code in brackets):
//   vProd      prod/vProd of the items with indTot 1 (absent indTot = 1),
//              service items (ISSQN) apart: they are ISSQNtot/vServ  [564]
//   vDesc, vFrete, vSeg, vOutro   the same tag of every item's prod
//                                                  [537, 535, 536, 604]
//   vBC, vICMS, vBCST  the same tag in the item's ICMS group (ICMS00 ...
//              ICMSSN900)                         [531, 532, 533]
//   vST        vICMSST of the item's ICMS group   [534]
//   vICMSDeson, vFCP, vFCPST, vFCPSTRet   the same tag in the ICMS group
//   vIPI       imposto/IPI/IPITrib/vIPI           [538]
//   vII        imposto/II/vII                     [601]
//   vIPIDevol  impostoDevol/IPI/vIPIDevol
//   vPIS, vCOFINS  the PIS and COFINS groups of the items without ISSQN
//              (the service items' PIS and COFINS belong to ISSQNtot)  [602, 603]
//   vTotTrib   imposto/vTotTrib, compared when the total or an item
//              carries it                         [685]
// The note's total [610]:
//   vNF = vProd - vDesc - vICMSDeson + vST + vFCPST + vFrete + vSeg + vOutro
//         + vII + vIPI + vIPIDevol + vServ (ISSQNtot)
//   with the totals as written; the relief (vICMSDeson) of an item that says
//   indDeduzDeson 0 is not deducted (an absent indDeduzDeson deducts, as
//   before the field existed).
// The payments, on a consumer note (mod 65): the sum of pag/detPag/vPag less
//   pag/vTroco equals vNF. A note whose payments are all "no payment"
//   (tPag 90) is not compared: it carries no amount to compare; a note with
//   no detPag at all is (its payments are zero).
//
// The checks are independent of the simulator's own (which stands for the
// authority and keeps its code apart).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fvn {

// One total that disagrees: its tag ("vICMS", "vNF", or "vPag" for the
// payments), the value written in the note, the sum of the items (for vNF
// the formula, for the payments vNF) and the difference, all in cents.
struct Divergencia_Total {
  std::string total;
  std::int64_t informado = 0;
  std::int64_t soma_itens = 0;
  std::int64_t diferenca = 0;  // informado - soma_itens
};

struct Resultado_Totais {
  bool ok = false;
  std::vector<Divergencia_Total> divergencias;  // in the order of the rules above
  // For the cashier, empty when ok: one line ("|" between lines) per
  // disagreeing total with both values and the difference, or what made the
  // note unreadable (ill-formed XML, no infNFe, an amount that does not read).
  std::string mensagem;
};

// Applies the rules above to `xml`: a NFe (signed or not), an nfeProc or a
// sending batch; the first infNFe is the one checked.
Resultado_Totais Valida_Totais(std::string_view xml);

}  // namespace fvn
