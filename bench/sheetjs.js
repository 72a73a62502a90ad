// SheetJS, the most used JavaScript workbook reader, reading the sheet the
// 4G import reads, as its documentation reads one: the whole workbook with
// XLSX.readFile, then the first sheet's rows with sheet_to_json (one array
// of values a row, the header row included, as openpyxl's job counts them).
// bench/run times it beside `brindle-cli import 4g`.
//
// usage: node bench/sheetjs.js WORKBOOK.xlsx
const XLSX = require("xlsx");

const book = XLSX.readFile(process.argv[2]);
const rows = XLSX.utils.sheet_to_json(book.Sheets[book.SheetNames[0]], { header: 1 });
console.log(rows.length);
