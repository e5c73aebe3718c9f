// What the options ask of the exporter, in the environment variables it reads.
using System.Collections.Generic;

namespace ContactExporter
{
    /// <summary>
    /// The exporter's variables as the options set them; a null value removes the variable. The
    /// record options are set or removed whatever this process holds: one inherited from it would
    /// change records that are decoded as the options say.
    /// </summary>
    internal static class ExporterEnvironment
    {
        public static IDictionary<string, string> For(ContactExporterOptions options)
        {
            var variables = new Dictionary<string, string>
            {
                { "CONTACT_EXPORTER_TEXT", options.Text == RecordText.Ansi ? "ansi" : "utf-8" },
                { "CONTACT_EXPORTER_FIELDS", FieldList(options.Fields) },
            };
            if (options.Diagnostics) variables["CONTACT_EXPORTER_DIAGNOSTICS"] = "1";
            return variables;
        }

        /// <summary>What the options ask for that the exporter does not know; null when nothing.</summary>
        public static string Unknown(ContactExporterOptions options)
        {
            if (options.Text != RecordText.Utf8 && options.Text != RecordText.Ansi)
            {
                return "the exporter knows no record text " + (int)options.Text;
            }
            RecordFields unknown = options.Fields & ~(RecordFields.Id | RecordFields.Modified);
            if (unknown != RecordFields.None) return "the exporter knows no record fields " + (int)unknown;
            return null;
        }

        /// <summary>The names, comma-separated, in the order the exporter writes the members; null for none.</summary>
        private static string FieldList(RecordFields fields)
        {
            var names = new List<string>();
            if ((fields & RecordFields.Id) != 0) names.Add("id");
            if ((fields & RecordFields.Modified) != 0) names.Add("modified");
            return names.Count > 0 ? string.Join(",", names) : null;
        }
    }
}
