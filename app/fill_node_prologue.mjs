// The glue Emscripten writes for node is CommonJS: in this ES module it
// finds require, __filename and __dirname here.
import { createRequire } from 'module';
const require = createRequire(import.meta.url);
const __filename = require('url').fileURLToPath(import.meta.url);
const __dirname = require('path').dirname(__filename);
