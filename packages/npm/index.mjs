// The ES module face of the CommonJS entry: one implementation, one state
// (the remembered bitness) whichever way the package is loaded.
import contactExporter from './lib/index.js';

export const { readContacts, iterateContacts, outlookVersion, ContactExporterError, Kind } = contactExporter;
